#pragma once
// Standard output as a stream that remembers why a write failed (a full
// disk, a closed descriptor), so the program can say so and exit 1 instead
// of reporting success.
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace zorvika {

class FdOutputBuffer : public std::streambuf {
public:
    explicit FdOutputBuffer(int fd);
    ~FdOutputBuffer() override;
    // The system's reason for the first failed write; empty while none failed.
    const std::string& failure() const { return failure_; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    bool drain();
    int fd_;
    std::vector<char> buffer_;
    std::string failure_;
};

} // namespace zorvika
