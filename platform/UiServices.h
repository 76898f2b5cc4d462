// UI services: the few things the toolkit-free code needs from whatever user
// interface is running (a plain message box, processing pending input, the
// application's own window handle). The GUI, the command-line front end and
// the tests each install their own implementation; nothing here knows Qt.
// The default, until someone installs another, is the console one. The
// tests' recording services are in tests/support.
//
// Only what the engine and the platform layer need belongs here. Services
// that only the windows need (file choices, password prompts, confirmations
// with more than two answers) live in app/, beside the windows.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

class UiServices {
public:
    virtual ~UiServices() = default;
    // A plain modal box with the application's title, no icon, one OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // Lets the user interface handle whatever input is pending, then returns.
    virtual void ProcessMessages() = 0;
    // Handle of the application's own top-level window; 0 where there is none.
    virtual std::uintptr_t ApplicationWindow() { return 0; }
};

// The services in force. Never null: falls back to the console services.
UiServices& Ui();
// Installs `services` (nullptr restores the console services) and returns the
// previous ones, so a scope can put them back.
UiServices* SetUi(UiServices* services);

// For the command line: boxes become lines on stderr; there is no input loop.
class ConsoleUiServices : public UiServices {
public:
    void ShowMessage(const std::string& text) override;
    void ProcessMessages() override {}
};

// Installs a set of services for the life of a scope.
class ScopedUi {
public:
    explicit ScopedUi(UiServices& services) : previous_(SetUi(&services)) {}
    ~ScopedUi() { SetUi(previous_); }
    ScopedUi(const ScopedUi&) = delete;
    ScopedUi& operator=(const ScopedUi&) = delete;

private:
    UiServices* previous_;
};

}  // namespace platform
