#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// The controls the logic reaches, by their names in the window, written once: the enumeration
// and the names both come from this list, so that a name cannot drift from its control.
#define SIMCREDIT_CONTROLS(X)                                                                      \
    X(Form1)                                                                                       \
    X(Label1)                                                                                      \
    X(vn)                                                                                          \
    X(ar)                                                                                          \
    X(ad)                                                                                          \
    X(tbvp)                                                                                        \
    X(tbavans)                                                                                     \
    X(tbdurcred)                                                                                   \
    X(tbdob)                                                                                       \
    X(bnr)                                                                                         \
    X(tbsumacc)                                                                                    \
    X(tbratatlx)                                                                                   \
    X(lbrata)                                                                                      \
    X(lbasig)                                                                                      \
    X(lbcomisgest)                                                                                 \
    X(lbdobaferenta)                                                                               \
    X(lbdae)                                                                                       \
    X(Label10)                                                                                     \
    X(Eroare)                                                                                      \
    X(Frame3)                                                                                      \
    X(Frame4)                                                                                      \
    X(Frame6)                                                                                      \
    X(Check1)                                                                                      \
    X(Check2)                                                                                      \
    X(cbasig)

#define SIMCREDIT_CONTROL_ENUMERATOR(name) name,
enum class Control : std::uint8_t { SIMCREDIT_CONTROLS(SIMCREDIT_CONTROL_ENUMERATOR) };
#undef SIMCREDIT_CONTROL_ENUMERATOR

#define SIMCREDIT_CONTROL_NAME(name) std::string_view(#name),
// Indexed by the enumeration.
inline constexpr std::array controlNames = {SIMCREDIT_CONTROLS(SIMCREDIT_CONTROL_NAME)};
#undef SIMCREDIT_CONTROL_NAME

inline constexpr int controlCount = static_cast<int>(controlNames.size());

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
