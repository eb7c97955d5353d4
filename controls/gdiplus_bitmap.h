// CGdiPlusBitmap and CGdiPlusBitmapResource: one decoded PNG skin image with per-pixel alpha,
// loaded by its numeric id from the application's "WXPNG" images.
#pragma once

#include <QImage>

class CGdiPlusBitmap {
public:
    CGdiPlusBitmap() = default;
    virtual ~CGdiPlusBitmap() = default;
    CGdiPlusBitmap(const CGdiPlusBitmap&) = delete;
    CGdiPlusBitmap& operator=(const CGdiPlusBitmap&) = delete;

    // The image in straight (not premultiplied) 32-bit ARGB; null while empty.
    const QImage& bitmap() const { return m_bitmap; }
    bool isEmpty() const { return m_bitmap.isNull(); }
    int width() const { return m_bitmap.width(); }
    int height() const { return m_bitmap.height(); }

protected:
    QImage m_bitmap;
};

class CGdiPlusBitmapResource : public CGdiPlusBitmap {
public:
    CGdiPlusBitmapResource() = default;
    ~CGdiPlusBitmapResource() override;

    // Frees any image held, then decodes the "WXPNG" image `id` (its "@2x" painting, with a
    // device pixel ratio of 2, when the skin scale is 2). False (and empty) when there is no
    // such image or it does not decode.
    bool Load(int id);
    // Decodes PNG bytes held in memory, with the same outcome rules as Load.
    bool LoadFromData(const QByteArray& png);
    void Empty();
};
