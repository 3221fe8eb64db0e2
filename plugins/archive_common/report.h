// The report text a component hands back through the caller's buffer: one line
// per file added or extracted, and the reasons of refusals.
#pragma once
#include <cstdint>
#include <string>

namespace component {

// The command entry's answers: 0 for success, these for the failures.
enum Outcome : int {
    OUTCOME_DONE = 0,
    OUTCOME_BAD_COMMAND = 0x8001,   // unknown option, missing archive, line too long
    OUTCOME_BAD_ARCHIVE = 0x8002,   // unreadable, truncated or damaged archive
    OUTCOME_SKIPPED = 0x8003,       // entries refused by the extraction guard
    OUTCOME_WRITE_FAILED = 0x8004,  // a file or the archive could not be written
    OUTCOME_NOT_FOUND = 0x8005,     // a named file or entry does not exist
    OUTCOME_UNSUPPORTED = 0x8006,   // a command this platform does not offer
    OUTCOME_NO_MEMORY = 0x8007
};

class Report {
public:
    void line(const char* format, ...) __attribute__((format(printf, 2, 3)));
    const std::string& text() const { return text_; }
    // Copies into the caller's buffer of `size` bytes: at most size - 1 bytes
    // and always a terminator; nothing without a buffer.
    void copy_to(char* output, std::uint32_t size) const;

private:
    std::string text_;
};

}  // namespace component
