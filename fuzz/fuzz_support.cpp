#include "fuzz_support.h"

#include "platform/presenter.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <unistd.h>

namespace ravlo::fuzz {
namespace {

namespace fs = std::filesystem;

class ScratchFolderOwner {
public:
    ScratchFolderOwner() {
        std::string pattern = (fs::temp_directory_path() / "ravlo-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a scratch folder");
        }
        path_ = pattern;
    }
    ~ScratchFolderOwner() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolderOwner(const ScratchFolderOwner&) = delete;
    ScratchFolderOwner& operator=(const ScratchFolderOwner&) = delete;

    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

} // namespace

std::uint8_t FuzzInput::Byte() {
    return at_ < bytes_.size() ? bytes_[at_++] : 0;
}

std::uint16_t FuzzInput::Word() {
    const std::uint8_t low = Byte();
    return static_cast<std::uint16_t>(low | (Byte() << 8));
}

std::span<const std::uint8_t> FuzzInput::Bytes(std::size_t count) {
    const std::span<const std::uint8_t> part = bytes_.subspan(at_, std::min(count, Remaining()));
    at_ += part.size();
    return part;
}

std::span<const std::uint8_t> FuzzInput::Until(std::uint8_t separator) {
    const auto rest = bytes_.subspan(at_);
    const auto end = std::find(rest.begin(), rest.end(), separator);
    const std::size_t length = static_cast<std::size_t>(end - rest.begin());
    at_ += length + (end != rest.end() ? 1 : 0);
    return rest.first(length);
}

const fs::path& ScratchFolder() {
    static const ScratchFolderOwner folder;
    return folder.Path();
}

fs::path WriteScratchFile(std::string_view name, std::string_view bytes) {
    const fs::path path = ScratchFolder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        Fail("cannot write the scratch file " + path.string());
    }
    return path;
}

void SilenceMessageBoxes() {
    static HeadlessPresenter quiet([](std::string_view) {});
    SetPresenter(&quiet);
}

void Fail(std::string_view what) {
    std::cerr << "fuzz check failed: " << what << std::endl;
    std::abort();
}

} // namespace ravlo::fuzz
