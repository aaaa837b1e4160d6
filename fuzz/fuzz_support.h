// What every fuzz target shares: the reader that turns the fuzzer's bytes into choices, the
// failure a broken invariant raises, and the entry that turns it into a crash the fuzzer
// saves. The regression tests run the same targets on saved inputs and see the failure as an
// exception instead.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>

namespace panel::fuzz {

// An invariant the code under test broke for this input.
class FuzzFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The fuzzer's bytes read as a sequence of choices. Past the end every read gives zeros, so
// a short input is still a whole, valid run.
class FuzzInput {
public:
    explicit FuzzInput(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    bool empty() const { return at_ >= bytes_.size(); }
    uint8_t byte() { return empty() ? 0 : bytes_[at_++]; }
    // One of `count` choices (count > 0).
    size_t pick(size_t count) { return byte() % count; }
    uint32_t u32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= uint32_t{byte()} << (8 * i);
        return value;
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    double f64() {
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits |= uint64_t{byte()} << (8 * i);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // Up to `count` of the remaining bytes.
    std::span<const uint8_t> take(size_t count) {
        const size_t n = std::min(count, bytes_.size() - std::min(at_, bytes_.size()));
        std::span<const uint8_t> piece = bytes_.subspan(std::min(at_, bytes_.size()), n);
        at_ += n;
        return piece;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
};

// Bad input is answered with one line that names what was read (`source`, when not empty).
inline void check_one_line(const std::string& message, const std::string& source) {
    if (message.find_first_of("\r\n") != std::string::npos)
        throw FuzzFailure("message of more than one line: " + message);
    if (message.rfind(source, 0) != 0) throw FuzzFailure("message does not name " + source + ": " + message);
}

// The body of LLVMFuzzerTestOneInput: a broken invariant is reported and aborts, so that the
// fuzzer writes the input out as a crash.
template <typename Target>
int run_fuzz_target(Target&& target, const uint8_t* data, size_t size) {
    try {
        target(std::span<const uint8_t>(data, size));
    } catch (const FuzzFailure& failure) {
        std::fprintf(stderr, "invariant broken: %s\n", failure.what());
        std::abort();
    }
    return 0;
}

}  // namespace panel::fuzz
