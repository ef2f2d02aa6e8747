#include "install/executable_check.h"

#include <elf.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

namespace tunevale {

namespace {

constexpr size_t HeaderBytes = 64;

// The offsets and entry counts of both header tables of an ELF header in
// this machine's byte order.
struct TTables {
  uint64_t ProgramOffset = 0, ProgramBytes = 0, SectionOffset = 0, SectionBytes = 0;
  uint16_t Type = 0;
};

template <class Header>
bool ReadTables(std::string_view bytes, TTables& t) {
  if (bytes.size() < sizeof(Header)) return false;
  Header h;
  std::memcpy(&h, bytes.data(), sizeof h);
  t.Type = h.e_type;
  t.ProgramOffset = h.e_phoff;
  t.ProgramBytes = uint64_t(h.e_phnum) * h.e_phentsize;
  t.SectionOffset = h.e_shoff;
  t.SectionBytes = uint64_t(h.e_shnum) * h.e_shentsize;
  return true;
}

bool Within(uint64_t offset, uint64_t length, uint64_t size) {
  return offset <= size && length <= size - offset;
}

}  // namespace

bool IsCompatibleExecutable(std::string_view candidate, std::string_view ownHeader) {
  if (ownHeader.size() < HeaderBytes || candidate.size() < HeaderBytes) return false;
  if (std::memcmp(ownHeader.data(), ELFMAG, SELFMAG) != 0 ||
      std::memcmp(candidate.data(), ELFMAG, SELFMAG) != 0)
    return false;
  // Class and byte order, then the machine (two bytes in that byte order).
  if (candidate[EI_CLASS] != ownHeader[EI_CLASS] || candidate[EI_DATA] != ownHeader[EI_DATA]) return false;
  constexpr size_t machine = offsetof(Elf64_Ehdr, e_machine);
  static_assert(machine == offsetof(Elf32_Ehdr, e_machine));
  if (candidate.substr(machine, 2) != ownHeader.substr(machine, 2)) return false;
  // Only headers in this machine's byte order can be read here; the running
  // executable's order is this machine's.
  TTables t;
  const bool read = candidate[EI_CLASS] == ELFCLASS64   ? ReadTables<Elf64_Ehdr>(candidate, t)
                    : candidate[EI_CLASS] == ELFCLASS32 ? ReadTables<Elf32_Ehdr>(candidate, t)
                                                        : false;
  if (!read || (t.Type != ET_EXEC && t.Type != ET_DYN) || t.ProgramBytes == 0) return false;
  return Within(t.ProgramOffset, t.ProgramBytes, candidate.size()) &&
         Within(t.SectionOffset, t.SectionBytes, candidate.size());
}

std::string ReadExecutableHeader(const std::string& path) {
  std::string header(HeaderBytes, '\0');
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  const ssize_t n = ::pread(fd, header.data(), header.size(), 0);
  ::close(fd);
  if (n != ssize_t(HeaderBytes)) return {};
  return header;
}

}  // namespace tunevale
