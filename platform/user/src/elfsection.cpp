// Finding a named section in an ELF file through its section headers; every
// offset and size is checked against the file.
#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "module_registry.h"

namespace user {
namespace {

struct Fd {
    int fd;
    ~Fd()
    {
        if (fd >= 0) ::close(fd);
    }
};

bool ReadAt(int fd, std::uint64_t offset, void* out, std::size_t size)
{
    auto* p = static_cast<char*>(out);
    while (size > 0) {
        ssize_t n = ::pread(fd, p, size, static_cast<off_t>(offset));
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

bool Within(std::uint64_t offset, std::uint64_t size, std::uint64_t fileSize)
{
    return offset <= fileSize && size <= fileSize - offset;
}

constexpr std::uint64_t kMaxSection = 64u << 20;  // resource text is small; refuse anything absurd

}  // namespace

bool ReadElfSection(const std::string& path, std::string_view name, std::string& bytes)
{
    Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (f.fd < 0) return false;
    struct stat st;
    if (::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const auto fileSize = static_cast<std::uint64_t>(st.st_size);

    Elf64_Ehdr eh;
    if (fileSize < sizeof eh || !ReadAt(f.fd, 0, &eh, sizeof eh)) return false;
    if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS64 ||
        eh.e_ident[EI_DATA] != ELFDATA2LSB || eh.e_shentsize != sizeof(Elf64_Shdr) || eh.e_shnum == 0 ||
        eh.e_shstrndx >= eh.e_shnum)
        return false;
    const std::uint64_t tableSize = std::uint64_t{eh.e_shnum} * sizeof(Elf64_Shdr);
    if (!Within(eh.e_shoff, tableSize, fileSize)) return false;
    std::vector<Elf64_Shdr> sections(eh.e_shnum);
    if (!ReadAt(f.fd, eh.e_shoff, sections.data(), tableSize)) return false;

    const Elf64_Shdr& names = sections[eh.e_shstrndx];
    if (names.sh_type != SHT_STRTAB || !Within(names.sh_offset, names.sh_size, fileSize) || names.sh_size > kMaxSection)
        return false;
    std::string strtab(names.sh_size, '\0');
    if (!ReadAt(f.fd, names.sh_offset, strtab.data(), strtab.size())) return false;

    for (const Elf64_Shdr& s : sections) {
        if (s.sh_name >= strtab.size()) continue;
        const char* n = strtab.data() + s.sh_name;
        std::size_t len = ::strnlen(n, strtab.size() - s.sh_name);
        if (s.sh_name + len >= strtab.size() || std::string_view(n, len) != name) continue;
        if (s.sh_type != SHT_PROGBITS || !Within(s.sh_offset, s.sh_size, fileSize) || s.sh_size > kMaxSection)
            return false;
        bytes.assign(s.sh_size, '\0');
        return ReadAt(f.fd, s.sh_offset, bytes.data(), bytes.size());
    }
    return false;
}

}  // namespace user
