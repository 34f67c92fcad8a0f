#include "cli/fd_output.h"

#include "base/file_io.h"

#include <cstring>

namespace zorvika {

FdOutputBuffer::FdOutputBuffer(int fd) : fd_(fd), buffer_(64 * 1024)
{
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

FdOutputBuffer::~FdOutputBuffer()
{
    drain();
}

bool FdOutputBuffer::drain()
{
    const std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    if (pending.empty() || !failure_.empty())
        return failure_.empty();
    if (const Outcome written = writeAll(fd_, pending); !written) {
        failure_ = written.reason();
        return false;
    }
    return true;
}

FdOutputBuffer::int_type FdOutputBuffer::overflow(int_type c)
{
    if (!drain())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize FdOutputBuffer::xsputn(const char* s, std::streamsize n)
{
    std::streamsize done = 0;
    while (done < n) {
        if (pptr() == epptr() && !drain())
            return done;
        const std::streamsize room = epptr() - pptr();
        const std::streamsize take = std::min(room, n - done);
        std::memcpy(pptr(), s + done, static_cast<std::size_t>(take));
        pbump(static_cast<int>(take));
        done += take;
    }
    return done;
}

int FdOutputBuffer::sync()
{
    return drain() ? 0 : -1;
}

} // namespace zorvika
