// CProfileDlg, the Edit Profile dialog: extension, audio codec and the codec's bit
// rate, sample rate and channels of the current profile, written through at once.
#pragma once

#include "profile.h"

#include <QDialog>

class QComboBox;
class QLabel;

class CProfileDlg : public QDialog {
    Q_OBJECT

public:
    enum { IDD = 122 };
    enum ControlId {
        IDC_AUDIO_CODEC = 1051,
        IDC_BIT_RATE = 1052,
        IDC_CHANNELS = 1053,
        IDC_SAMPLE_RATE = 1054,
        IDC_PROFILE_NAME = 1055,
        IDC_EXTENSION = 1056,
    };

    explicit CProfileDlg(QWidget* parent = nullptr);
    ~CProfileDlg() override;

    // Appends every entry of `list` to `combo` (without emptying it first), then
    // selects position `index`.
    static void fillChoiceCombo(ChoiceList list, QComboBox& combo, int index);

private:
    void createControls();
    void wireHandlers();
    void fillProfileControls();
    void fillAudioSettingCombos(const AudioCodecSettings& settings);

    void onExtensionChosen(int index);
    void onAudioCodecChosen(int index);
    void onBitRateChosen(int index);
    void onSampleRateChosen(int index);
    void onChannelsChosen(int index);

    QLabel* m_profileName = nullptr;
    QComboBox* m_extension = nullptr;
    QComboBox* m_audioCodec = nullptr;
    QComboBox* m_bitRate = nullptr;
    QComboBox* m_sampleRate = nullptr;
    QComboBox* m_channels = nullptr;
};
