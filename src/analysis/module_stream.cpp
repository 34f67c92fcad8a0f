#include "analysis/module_stream.h"

#include "base/platform.h"

#include <algorithm>
#include <new>
#include <utility>

namespace zorvika {

namespace {

constexpr std::size_t kBufferAlignment = 4096;

class FileStream final : public ModuleStream {
public:
    FileStream(FileHandle fd, std::uint64_t size) : fd_(std::move(fd)), left_(size) {}

    bool next(PieceBuffer& buffer, std::string_view& piece) override
    {
        piece = {};
        if (left_ == 0)
            return true;
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(left_, PieceBuffer::size()));
        const Result<std::size_t> r = readSome(fd_.get(), buffer.data(), want);
        if (!r)
            return false;
        if (*r == 0) {
            left_ = 0; // shorter than it was: what is there is the file
            return true;
        }
        left_ -= *r;
        piece = std::string_view(buffer.data(), *r);
        return true;
    }

private:
    FileHandle fd_;
    std::uint64_t left_;
};

class TextStream final : public ModuleStream {
public:
    explicit TextStream(std::string text) : text_(std::move(text)) {}

    bool next(PieceBuffer&, std::string_view& piece) override
    {
        piece = given_ ? std::string_view() : std::string_view(text_);
        given_ = true;
        return true;
    }

private:
    std::string text_;
    bool given_ = false;
};

} // namespace

PieceBuffer::PieceBuffer() : data_(static_cast<char*>(::operator new(kModulePiece, std::align_val_t(kBufferAlignment))))
{
}

PieceBuffer::~PieceBuffer()
{
    ::operator delete(data_, std::align_val_t(kBufferAlignment));
}

std::unique_ptr<ModuleStream> fileStream(FileHandle fd, std::uint64_t size)
{
    return std::make_unique<FileStream>(std::move(fd), size);
}

std::unique_ptr<ModuleStream> openFileStream(const std::filesystem::path& path)
{
    Result<OpenedFile, ReadError> opened = openRegularFile(path);
    if (!opened)
        return nullptr;
    return fileStream(std::move(opened->handle), opened->info.size);
}

std::unique_ptr<ModuleStream> textStream(std::string text)
{
    return std::make_unique<TextStream>(std::move(text));
}

} // namespace zorvika
