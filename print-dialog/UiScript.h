// Drives the dialog without a person: a list of user actions (choose a queue or panel, click,
// type, press keys, take screenshots, print) run through the same widgets and toolbox controls
// a user works with, one action each time a modal loop waits for input.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "PrintDialog.h"
#include "Toolbox.h"

namespace qor::printdialog {

// One line of a script: the command and its arguments, with its line number for messages.
struct UiAction {
    int line = 0;
    std::vector<std::string> words;
};

// Reads a script: one action per line, words separated by blanks, "double quotes" around
// words with blanks (\" and \\ inside them), "#" starting a comment line. Commands:
//   queue NAME                 choose a queue in the printer pop-up
//   panel TITLE                choose a panel (or "Summary") in the panel pop-up
//   click TARGET               click a button, check box or radio button
//   choose TARGET ITEM         choose the item with that text in a pop-up
//   type TARGET TEXT           type the text key by key into a field ("\n" for Return)
//   key TARGET KEY             press Return, Enter, Escape, Tab, Backspace, Left, Right, Up, Down
//   screenshot FILE            save a PNG picture of the window in front
//   screenshots FOLDER         a picture of the print dialog with each panel and the summary
//                              in front, named after the page ("paper-handling.png")
//   print / cancel             click Print or Cancel of the print dialog
// TARGET is title=TEXT (or TEXT alone): the control with that title; label=TEXT or
// label=TEXT#N: the field beside the Nth static text that reads TEXT; field#N and textbox#N:
// the Nth one-line field or text box in reading order; id=SIGN:N: the control with that
// control id. Counting starts at 1 and only visible controls count.
std::optional<std::vector<UiAction>> parseUiScript(const std::string& text, std::string* error);

class UiScriptRunner {
  public:
    UiScriptRunner(PrintDialog& dialog, std::vector<UiAction> actions);
    // Takes over the modal loops and the alerts (each alert is written to standard error and
    // answered with its default button) until the runner is destroyed.
    ~UiScriptRunner();
    UiScriptRunner(const UiScriptRunner&) = delete;
    UiScriptRunner& operator=(const UiScriptRunner&) = delete;

    // Empty while every action ran; otherwise the message of the one that failed.
    const std::string& error() const { return error_; }
    // The messages of the alerts shown so far.
    const std::vector<std::string>& alerts() const { return alerts_; }

  private:
    bool step(WindowRef window);
    bool run(const UiAction& action, WindowRef window);

    PrintDialog& dialog_;
    std::vector<UiAction> actions_;
    std::size_t next_ = 0;
    std::string error_;
    std::vector<std::string> alerts_;
    ModalDriver previousDriver_;
    AlertSink previousSink_;
};

}  // namespace qor::printdialog
