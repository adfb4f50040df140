#include "records/rawfile.h"

#include <system_error>

namespace pelkorl {

RawFile::RawFile(const std::filesystem::path& path) {
    if (path.empty())
        return;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return;
    const std::uintmax_t length = std::filesystem::file_size(path, error);
    if (error)
        return;
    stream.open(path, std::ios::in | std::ios::binary);
    if (!stream.is_open())
        return;
    bytes = length;
    open = true;
}

std::size_t RawFile::read(void* target, std::size_t count) {
    if (!open || count == 0)
        return 0;
    stream.read(static_cast<char*>(target), static_cast<std::streamsize>(count));
    const std::streamsize got = stream.gcount();
    if (!stream)
        stream.clear();
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

bool RawFile::seek(std::uintmax_t offset) {
    if (!open || offset > bytes)
        return false;
    stream.clear();
    stream.seekg(static_cast<std::streamoff>(offset), std::ios::beg);
    return static_cast<bool>(stream);
}

} // namespace pelkorl
