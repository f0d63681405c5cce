#pragma once
// Shared helpers of the fee tests: readable amounts in failures and a message capture.
#include "core/Currency.h"
#include "fee/FeeMessages.h"

#include <ostream>
#include <string>
#include <vector>

namespace velu {
inline void PrintTo(const Currency& c, std::ostream* os) { *os << c.ToString(); }
} // namespace velu

namespace velu::fee::test {

inline Currency C(const char* s) { return Currency::FromString(s); }

struct CapturedMessage {
    std::string text, caption;
    MessageIcon icon;
};

class CaptureSink : public MessageSink {
public:
    void Show(const std::string& text, const std::string& caption, MessageIcon icon) override {
        shown.push_back({text, caption, icon});
    }
    std::vector<CapturedMessage> shown;
};

} // namespace velu::fee::test
