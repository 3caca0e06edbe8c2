#include "project/exe_reader.h"

#include "framework/app_names.h"
#include "project/project_messages.h"

#include <array>
#include <system_error>

namespace ravlo {
namespace {

std::uint16_t WordAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

bool ReadExactly(std::ifstream& file, std::uint64_t position, std::span<std::uint8_t> dest) {
    file.clear();
    file.seekg(static_cast<std::streamoff>(position));
    file.read(reinterpret_cast<char*>(dest.data()), static_cast<std::streamsize>(dest.size()));
    return file.good() || (file.eof() && static_cast<std::size_t>(file.gcount()) == dest.size());
}

} // namespace

TMzHeader TMzHeader::Parse(std::span<const std::uint8_t, kSize> bytes) {
    TMzHeader header;
    std::uint16_t* fields[] = {&header.e_magic,   &header.e_cblp,     &header.e_cp,       &header.e_crlc,
                               &header.e_cparhdr, &header.e_minalloc, &header.e_maxalloc, &header.e_ss,
                               &header.e_sp,      &header.e_csum,     &header.e_ip,       &header.e_cs,
                               &header.e_lfarlc};
    std::size_t at = 0;
    for (std::uint16_t* field : fields) {
        *field = WordAt(bytes, at);
        at += 2;
    }
    return header;
}

std::unique_ptr<tExeFile> tExeFile::Open(const std::filesystem::path& fileName) {
    auto exe = std::make_unique<tExeFile>(fileName);
    const std::string name = PathText(fileName);
    if (!exe->Reopen()) {
        ProjectError("Could not open file: " + name);
        return nullptr;
    }
    std::array<std::uint8_t, TMzHeader::kSize> bytes{};
    if (!ReadExactly(exe->file_, 0, bytes)) {
        ProjectError("Could not read from file: " + name);
        return nullptr;
    }
    exe->header_ = TMzHeader::Parse(bytes);
    const TMzHeader& h = exe->header_;

    std::error_code error;
    const std::uint64_t fileSize = std::filesystem::file_size(fileName, error);
    const std::uint32_t lastPage = h.e_cblp == 0 ? 512U : h.e_cblp;
    exe->headerSize_ = static_cast<std::uint32_t>(h.e_cparhdr) * 16;
    const std::int64_t imageEnd = (static_cast<std::int64_t>(h.e_cp) - 1) * 512 + lastPage;
    const std::uint64_t relocEnd = h.e_lfarlc + static_cast<std::uint64_t>(h.e_crlc) * 4;
    // Beyond the signature, the header must describe a file that is really there: a load image
    // after the header and a relocation table inside the file.
    const bool valid = h.e_magic == TMzHeader::kMagic && !error && h.e_cp != 0 && lastPage <= 512 &&
                       exe->headerSize_ >= TMzHeader::kSize && imageEnd >= exe->headerSize_ &&
                       static_cast<std::uint64_t>(imageEnd) <= fileSize &&
                       (h.e_crlc == 0 || (h.e_lfarlc >= TMzHeader::kSize && relocEnd <= fileSize));
    if (!valid) {
        ProjectError("Invalid Exe format in " + name);
        return nullptr;
    }
    exe->loadImageSize_ = static_cast<std::uint32_t>(imageEnd - exe->headerSize_);
    return exe;
}

bool tExeFile::Reopen() {
    if (!file_.is_open()) {
        file_.open(fileName_, std::ios::binary);
    }
    return file_.is_open();
}

bool tExeFile::ReadRelocations() {
    relocations_.clear();
    const std::string name = PathText(fileName_);
    if (header_.e_crlc == 0) {
        ProjectWarning("Err ? zero reloads ?");
        return true;
    }
    if (!Reopen()) {
        ProjectError("Could not open file: " + name);
        return false;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(header_.e_crlc) * 4);
    if (!ReadExactly(file_, header_.e_lfarlc, bytes)) {
        ProjectError("Could not read from file: " + name);
        return false;
    }
    relocations_.reserve(header_.e_crlc);
    for (std::size_t at = 0; at < bytes.size(); at += 4) {
        const TExeReloc entry{WordAt(bytes, at), WordAt(bytes, at + 2)};
        // A fixup word must lie wholly inside the load image.
        if (entry.ImageOffset() + 2 > loadImageSize_) {
            ProjectError("Err 27 - asi corrupted exe file.");
            relocations_.clear();
            return false;
        }
        relocations_.push_back(entry);
    }
    return true;
}

bool tExeFile::ReadImage(std::uint32_t imageOffset, std::span<std::uint8_t> dest) {
    if (static_cast<std::uint64_t>(imageOffset) + dest.size() > loadImageSize_ || !Reopen()) {
        return false;
    }
    return ReadExactly(file_, static_cast<std::uint64_t>(headerSize_) + imageOffset, dest);
}

void tExeFile::Close() {
    if (file_.is_open()) {
        file_.close();
    }
    relocations_.clear();
    relocations_.shrink_to_fit();
}

} // namespace ravlo
