#pragma once

#include <corvane/controls/GlassPanel.h>

class QLabel;

namespace corvane {
class FittedLine;
class GlassRule;
class Cell;
class FieldToggle;
class Key;
class Lamp;
class ServerViewModel;
} // namespace corvane

namespace corvane::menu {

class AddressText;
class LampLine;

// The status readout on the glass: the headline with its lamp, what went wrong, the voice model, the
// keep-awake line and, while the server runs, how the phone reaches this computer, the pairing code
// and the network switch. It shows what the model holds after each change and calls its actions.
class ReadoutGlass : public GlassPanel {
    Q_OBJECT
public:
    explicit ReadoutGlass(ServerViewModel& model, QWidget* parent = nullptr);

    // Shows the model as it is now.
    void sync();

private:
    void syncPhone();
    void syncNetworkSwitch();
    void syncCode();

    ServerViewModel& m_model;
    Lamp* m_lamp;
    QLabel* m_headline;
    QLabel* m_detail;
    QLabel* m_sentence;
    GlassRule* m_voiceRule;
    LampLine* m_voice;
    GlassRule* m_awakeRule;
    LampLine* m_awake;
    QWidget* m_running; // everything shown only while the server runs
    LampLine* m_readProblem;
    QLabel* m_checking;
    LampLine* m_unreachable;
    QWidget* m_dial;
    QLabel* m_dialMessage;
    AddressText* m_address;
    QLabel* m_alternate;
    QLabel* m_codeTag;
    Key* m_showCode;
    QWidget* m_liveCode;
    FittedLine* m_code;
    FieldToggle* m_network;
    QLabel* m_networkSentence;
    bool m_networkFocusParked = false; // the glass holds the switch's focus while a change applies
};

} // namespace corvane::menu
