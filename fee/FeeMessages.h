#pragma once
// Seam for the message boxes of the fee engine: the form routes them to a real box, tests capture them.
#include <string>

namespace velu::fee {

enum class MessageIcon { Error, Warning };

// A share of a phase or of the services rendered that is no share at all.
inline constexpr const char* MeldungProzentBereich = "Die Eingabe muss zwischen 0 und 100 liegen.";

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // A modal box with an OK button; caption is the title (may be empty).
    virtual void Show(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
};

} // namespace velu::fee
