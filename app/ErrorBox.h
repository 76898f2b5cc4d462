// The application's top-level error box: where an exception that leaves a
// handler ends up (a listing's file error, a failed header-click sort, a
// throwing grid event). It shows the exception's text, with a full stop
// added when the last character sorts after ".", and the program goes on.
//
// The box is never shown from inside the event that failed (that may be a
// paint): it is queued and shown once that event has been handled. While a
// text's box is queued or open, the same text arriving again (a paint that
// fails on every repaint) is dropped.
#pragma once

#include <set>
#include <string>

namespace app {

// The text as the box shows it.
std::string ErrorBoxText(const std::string& message);

class TopLevelErrors {
public:
    static TopLevelErrors& Instance();

    // Queues a box for the message of the exception being handled; call
    // only from inside a catch block.
    void ReportCurrentException() noexcept;
    void Report(const std::string& message);

    // After the main window was closed in the middle of an operation nobody
    // is left to read a box: queued and later ones are dropped.
    void SetSilenced(bool silenced) { silenced_ = silenced; }
    bool Silenced() const { return silenced_; }

private:
    void Show(const std::string& text);

    std::set<std::string> active_;  // queued or open
    bool silenced_ = false;
};

}  // namespace app
