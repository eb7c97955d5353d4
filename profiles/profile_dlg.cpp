// The Edit Profile dialog. Every choice goes straight into the current profile; the
// dialog keeps no copy, so OK, Escape and the close box all keep what was chosen.
#include "profile_dlg.h"

#include "catalogue.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <cmath>

namespace {

// The dialog's layout is given in dialog units of the 8-point dialog font.
QRect dialogUnits(int x, int y, int width, int height) {
    return QRect(int(std::lround(x * 1.5)), int(std::lround(y * 1.625)),
                 int(std::lround(width * 1.5)), int(std::lround(height * 1.625)));
}

// Combo heights in the layout include the dropped list; the closed box takes the
// height the style wants.
QComboBox* makeCombo(QWidget* parent, int id, int x, int y, int width) {
    auto* combo = new QComboBox(parent);
    combo->setProperty("controlId", id);
    const QRect rect = dialogUnits(x, y, width, 0);
    combo->setGeometry(rect.x(), rect.y(), rect.width(), combo->sizeHint().height());
    return combo;
}

QLabel* makeStatic(QWidget* parent, const char* text, int x, int y, int width, int height) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setGeometry(dialogUnits(x, y, width, height));
    return label;
}

} // namespace

CProfileDlg::CProfileDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Edit Profile"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(dialogUnits(0, 0, 254, 167).size());
    createControls();
    wireHandlers();
    fillProfileControls();
}

CProfileDlg::~CProfileDlg() = default;

void CProfileDlg::createControls() {
    // Template order; the group box comes before the combos so they stay above it.
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setProperty("controlId", 1);
    ok->setGeometry(dialogUnits(197, 145, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    makeStatic(this, "Profile Name:", 18, 15, 44, 8);
    makeStatic(this, "Audio Codec:", 18, 74, 44, 8);
    makeStatic(this, "BitRate:", 35, 93, 27, 8);
    makeStatic(this, "Channels:", 29, 114, 33, 8);
    makeStatic(this, "SampleRate:", 127, 93, 42, 8);
    auto* audio = new QGroupBox(QStringLiteral("Audio"), this);
    audio->setGeometry(dialogUnits(7, 55, 240, 76));

    m_audioCodec = makeCombo(this, IDC_AUDIO_CODEC, 69, 71, 153);
    m_bitRate = makeCombo(this, IDC_BIT_RATE, 69, 91, 48);
    m_channels = makeCombo(this, IDC_CHANNELS, 69, 113, 48);
    m_sampleRate = makeCombo(this, IDC_SAMPLE_RATE, 174, 91, 48);
    m_profileName = makeStatic(this, "", 69, 15, 165, 8);
    m_profileName->setProperty("controlId", int(IDC_PROFILE_NAME));
    makeStatic(this, "Extension:", 27, 34, 35, 8);
    m_extension = makeCombo(this, IDC_EXTENSION, 69, 32, 154);

    // Tab order follows the template: OK first, then the combos as listed.
    setTabOrder(ok, m_audioCodec);
    setTabOrder(m_audioCodec, m_bitRate);
    setTabOrder(m_bitRate, m_channels);
    setTabOrder(m_channels, m_sampleRate);
    setTabOrder(m_sampleRate, m_extension);
}

// `activated` is the user's choice only (mouse or keyboard), never our own filling.
void CProfileDlg::wireHandlers() {
    connect(m_extension, &QComboBox::activated, this, &CProfileDlg::onExtensionChosen);
    connect(m_audioCodec, &QComboBox::activated, this, &CProfileDlg::onAudioCodecChosen);
    connect(m_bitRate, &QComboBox::activated, this, &CProfileDlg::onBitRateChosen);
    connect(m_sampleRate, &QComboBox::activated, this, &CProfileDlg::onSampleRateChosen);
    connect(m_channels, &QComboBox::activated, this, &CProfileDlg::onChannelsChosen);
}

void CProfileDlg::fillChoiceCombo(ChoiceList list, QComboBox& combo, int index) {
    for (int i = 0;; ++i) {
        const char* entry = choiceListEntry(list, i);
        if (entry == nullptr) {
            break;
        }
        combo.addItem(QString::fromLocal8Bit(entry));
    }
    combo.setCurrentIndex(index);
}

void CProfileDlg::fillProfileControls() {
    ConversionProfile& profile = *currentProfile;
    m_profileName->setText(QString::fromLocal8Bit(profile.name));

    m_extension->clear();
    fillChoiceCombo(profile.extensions, *m_extension, profile.extensionIndex);

    m_audioCodec->clear();
    for (int i = 0; i < profile.audioCodecCount; ++i) {
        m_audioCodec->addItem(QString::fromLocal8Bit(profile.audioCodecs[i].displayName));
    }
    // An out-of-range index is shown as the first codec but left as stored.
    int shown = profile.audioCodecIndex;
    if (shown < 0 || shown >= profile.audioCodecCount) {
        shown = 0;
    }
    m_audioCodec->setCurrentIndex(shown);
    fillAudioSettingCombos(profile.audioCodecs[shown]);
}

void CProfileDlg::fillAudioSettingCombos(const AudioCodecSettings& settings) {
    m_bitRate->clear();
    fillChoiceCombo(settings.bitRates, *m_bitRate, settings.bitRateIndex);
    m_sampleRate->clear();
    fillChoiceCombo(settings.sampleRates, *m_sampleRate, settings.sampleRateIndex);
    m_channels->clear();
    fillChoiceCombo(settings.channels, *m_channels, settings.channelsIndex);
}

void CProfileDlg::onExtensionChosen(int index) {
    currentProfile->extensionIndex = index;
}

void CProfileDlg::onAudioCodecChosen(int index) {
    ConversionProfile& profile = *currentProfile;
    profile.audioCodecIndex = index;
    // Each codec keeps its own three indices, so switching back restores them.
    fillAudioSettingCombos(profile.audioCodecs[index]);
}

// The codec whose settings the three combos edit; none when the stored index lies
// outside the profile's codecs (the built-in data never has such an index).
static AudioCodecSettings* editedCodec() {
    ConversionProfile& profile = *currentProfile;
    if (profile.audioCodecIndex < 0 || profile.audioCodecIndex >= profile.audioCodecCount) {
        return nullptr;
    }
    return &selectedAudioCodec(profile);
}

void CProfileDlg::onBitRateChosen(int index) {
    if (AudioCodecSettings* codec = editedCodec()) {
        codec->bitRateIndex = index;
    }
}

void CProfileDlg::onSampleRateChosen(int index) {
    if (AudioCodecSettings* codec = editedCodec()) {
        codec->sampleRateIndex = index;
    }
}

void CProfileDlg::onChannelsChosen(int index) {
    if (AudioCodecSettings* codec = editedCodec()) {
        codec->channelsIndex = index;
    }
}
