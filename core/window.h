#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// The controls the logic reaches, by their names in the window.
enum class Control : std::uint8_t {
    Form1,
    Label1,
    vn,
    ar,
    ad,
    tbvp,
    tbavans,
    tbdurcred,
    tbdob,
    bnr,
    tbsumacc,
    tbratatlx,
    lbrata,
    lbasig,
    lbcomisgest,
    lbdobaferenta,
    lbdae,
    Label10,
    Eroare,
    Frame3,
    Frame4,
    Frame6,
    Check1,
    Check2,
    cbasig,
};
inline constexpr int controlCount = static_cast<int>(Control::cbasig) + 1;

// What the driver sees of the window. Setting a text raises the control's change notification
// at once, nested in the caller, when the text changes; captions and visibility raise nothing.
class Window {
public:
    virtual ~Window() = default;
    virtual const std::string& text(Control c) const = 0;
    virtual void setText(Control c, std::string_view text) = 0;
    virtual void setCaption(Control c, std::string_view caption) = 0;
    virtual void setVisible(Control c, bool visible) = 0;
    virtual int value(Control c) const = 0;              // check value: 0 or 1
    virtual std::int16_t listIndex(Control c) const = 0; // -1 when nothing is selected

protected:
    Window() = default;
    Window(const Window&) = default;
    Window& operator=(const Window&) = default;
};

// A modal message box: the window shows it and waits until it is closed; tests and the batch
// tool record it and confirm it at once.
struct Message {
    std::string title;
    std::string prompt;
    int style = 0; // 16: error icon, one OK button
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const Message& message) = 0;

protected:
    MessageSink() = default;
    MessageSink(const MessageSink&) = default;
    MessageSink& operator=(const MessageSink&) = default;
};

// A runtime error that abandoned a recalculation: the figures written before it stay, the later
// ones belong to earlier inputs. The window tells the agent, the batch tool lists it.
class FaultSink {
public:
    virtual ~FaultSink() = default;
    virtual void fault(std::string_view what) = 0;

protected:
    FaultSink() = default;
    FaultSink(const FaultSink&) = default;
    FaultSink& operator=(const FaultSink&) = default;
};

} // namespace core
