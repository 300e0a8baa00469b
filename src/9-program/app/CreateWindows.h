#pragma once

class QWidget;
class TAboutBoxKavrilon;
class TFMAddStuff;
class TFMChangeForm;
class TFMCutForm;
class TFMErrorForm;
class TFMLinkAddForm;
class TFMNetworkPicture;
class TFMResultsForm;
class TFMStepThrough;
class TFMWhatIf;
class TFXNodeAddForm;
class TKavrilonForm;
class TPCTOKFForm;
class TRandGenerator;

namespace kav {
class Session;
}  // namespace kav

// The windows of the program, created once at start and afterwards only shown
// and hidden. No window knows another: each says what happened through its
// signals, and the connections made here decide who reacts.
struct ProgramWindows {
    TKavrilonForm* mainMenu = nullptr;
    TAboutBoxKavrilon* aboutBox = nullptr;
    TFMAddStuff* addStuff = nullptr;
    TFMLinkAddForm* linkAdder = nullptr;
    TFXNodeAddForm* nodeAdder = nullptr;
    TFMErrorForm* errorList = nullptr;
    TFMResultsForm* results = nullptr;
    TFMChangeForm* change = nullptr;
    TPCTOKFForm* percentDone = nullptr;
    TRandGenerator* generator = nullptr;
    TFMNetworkPicture* picture = nullptr;
    TFMCutForm* cut = nullptr;
    TFMStepThrough* stepThrough = nullptr;
    TFMWhatIf* whatIf = nullptr;
};

// Creates every window of the program once, in start-up order, each with the
// session (or the part of it it needs), connects them, makes the main menu the
// anchor window and puts the hint switch and the other application-wide window
// rules in force. The main menu is left for the caller to show. The session
// outlives the windows.
ProgramWindows CreateWindows(kav::Session& session);

// Destroys the windows CreateWindows made (at the end of the program or a test)
// and empties windows.
void DestroyWindows(ProgramWindows& windows);

// The add chooser opens the node and link windows and closes them when it
// closes; a change of the nodes reaches the chooser's Add Link button and the
// open link window. Tests of the editing windows wire them with this alone.
void ConnectAddWindows(TFMAddStuff* chooser, TFXNodeAddForm* nodes, TFMLinkAddForm* links);
