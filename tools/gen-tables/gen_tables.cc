// Generates the two constant mapping tables of conv/ (euc2utf_table.cc and
// utf2euc_table.cc) from the C library's iconv EUC-KR converter.
//
// Usage: gen-tables OUTPUT_DIR
//
// The standard KS X 1001 mapping is read from iconv one two-byte code at a time;
// ten codes are then mapped to other characters on purpose (see kExceptions),
// the three characters that later editions added are left out, and the 2350
// Unicode 1.1 Hangul positions are added to the UTF-8 side.  Every property the
// tables must have is checked before anything is written; a failed check ends
// the program with status 1 and leaves the old files alone.
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Row {
  std::uint16_t euc;
  char32_t cp;
  bool unicode11;  // a Unicode 1.1 Hangul position (UTF-8 side only)
};

struct Exception {
  std::uint16_t euc;
  char32_t table_cp;
  char32_t standard_cp;
};

// The characters these codes stand for in the input method's own data.
constexpr Exception kExceptions[] = {
    {0xA1A4, 0x30FB, 0x00B7}, {0xA1A9, 0x2013, 0x00AD}, {0xA1AA, 0x2014, 0x2015},
    {0xA1AB, 0x2016, 0x2225}, {0xA1AD, 0xFF5E, 0x223C}, {0xA1EC, 0x00AB, 0x226A},
    {0xA1ED, 0x00BB, 0x226B}, {0xA2A6, 0x02DC, 0xFF5E}, {0xA2B0, 0x2236, 0x02D0},
    {0xA2C1, 0x25C9, 0x2299},
};

// EURO SIGN, REGISTERED SIGN, CIRCLED HANGUL IEUNG U: added after the 1992 edition.
constexpr std::uint16_t kLaterAdditions[] = {0xA2E6, 0xA2E7, 0xA2E8};

constexpr std::size_t kEuc2UtfCount = 8224, kUtf2EucCount = 10574;
constexpr char32_t kUnicode11First = 0x3400;  // U+3400..U+3D2D held Hangul in Unicode 1.1
constexpr std::uint16_t kHangulFirst = 0xB0A1, kHangulLast = 0xC8FE;
constexpr std::size_t kHangulCount = 2350;

void require(bool ok, const std::string &what) {
  if (!ok) {
    std::fprintf(stderr, "gen-tables: check failed: %s\n", what.c_str());
    std::exit(1);
  }
}

std::string hex(unsigned v, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%0*X", width, v);
  return buf;
}

std::string utf8(char32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

// Three UTF-8 bytes packed into 24 bits; below U+0800 the overlong form E0 xx xx.
std::uint32_t packed(char32_t cp) {
  require(cp >= 0x80 && cp <= 0xFFFF && (cp < 0xD800 || cp > 0xDFFF),
          "code point " + hex(cp, 4) + " has a three-byte form");
  return (0xE0u | (cp >> 12)) << 16 | (0x80u | ((cp >> 6) & 0x3F)) << 8 | (0x80u | (cp & 0x3F));
}

// Decodes s as exactly one UTF-8 character.
std::optional<char32_t> single_char(const std::string &s) {
  auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  if (s.size() == 2 && (b(0) & 0xE0) == 0xC0 && (b(1) & 0xC0) == 0x80)
    return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
  if (s.size() == 3 && (b(0) & 0xF0) == 0xE0 && (b(1) & 0xC0) == 0x80 && (b(2) & 0xC0) == 0x80)
    return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
  return std::nullopt;
}

// Every two-byte code (both bytes 0xA1..0xFE) that iconv turns into exactly one character.
std::map<std::uint16_t, char32_t> standard_mapping() {
  iconv_t cd = iconv_open("UTF-8", "EUC-KR");
  require(cd != reinterpret_cast<iconv_t>(-1), "iconv knows EUC-KR");
  std::map<std::uint16_t, char32_t> out;
  for (unsigned hi = 0xA1; hi <= 0xFE; ++hi) {
    for (unsigned lo = 0xA1; lo <= 0xFE; ++lo) {
      char in[2] = {static_cast<char>(hi), static_cast<char>(lo)};
      char outbuf[16];
      char *inp = in, *outp = outbuf;
      std::size_t inleft = 2, outleft = sizeof outbuf;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      std::size_t r = iconv(cd, &inp, &inleft, &outp, &outleft);
      if (r == static_cast<std::size_t>(-1) || inleft != 0) continue;
      if (auto cp = single_char(std::string(outbuf, outp)))
        out[static_cast<std::uint16_t>(hi << 8 | lo)] = *cp;
    }
  }
  iconv_close(cd);
  return out;
}

std::vector<Row> build_euc2utf() {
  auto map = standard_mapping();
  const std::size_t known = kEuc2UtfCount + std::size(kLaterAdditions);
  require(map.size() == known, "iconv gives " + std::to_string(known) +
                                   " two-byte characters, got " + std::to_string(map.size()));
  for (auto code : kLaterAdditions) {
    require(map.count(code) == 1, hex(code, 4) + " is known to iconv before it is left out");
    map.erase(code);
  }
  for (const auto &e : kExceptions) {
    require(map.at(e.euc) == e.standard_cp,
            hex(e.euc, 4) + " maps to " + hex(e.standard_cp, 4) + " in the standard mapping");
    map[e.euc] = e.table_cp;
  }
  require(map.at(0xA4D4) == 0x3164, "0xA4D4 maps to U+3164 HANGUL FILLER");

  std::vector<Row> rows;
  for (auto [euc, cp] : map) rows.push_back({euc, cp, false});
  return rows;
}

std::vector<Row> build_utf2euc(const std::vector<Row> &euc_rows) {
  std::vector<Row> rows = euc_rows;
  std::size_t n = 0;
  for (const auto &r : euc_rows) {
    if (r.euc < kHangulFirst || r.euc > kHangulLast) continue;
    require((r.euc & 0xFF) >= 0xA1 && (r.euc & 0xFF) <= 0xFE, "Hangul rows are whole");
    rows.push_back({r.euc, kUnicode11First + static_cast<char32_t>(n), true});
    ++n;
  }
  require(n == kHangulCount, "2350 KS X 1001 Hangul syllables from 0xB0A1 to 0xC8FE");
  require(kUnicode11First + n - 1 == 0x3D2D, "the Unicode 1.1 positions end at U+3D2D");
  std::sort(rows.begin(), rows.end(),
            [](const Row &a, const Row &b) { return packed(a.cp) < packed(b.cp); });
  return rows;
}

void check_tables(const std::vector<Row> &e2u, const std::vector<Row> &u2e) {
  require(e2u.size() == kEuc2UtfCount, "euc2utf has 8224 entries");
  require(u2e.size() == kUtf2EucCount, "utf2euc has 10574 entries");
  require(e2u.front().euc == 0xA1A1 && e2u.back().euc == 0xFDFE,
          "euc2utf runs from 0xA1A1 to 0xFDFE");
  require(packed(u2e.front().cp) == 0xE082A1 && packed(u2e.back().cp) == 0xEFBFA6,
          "utf2euc runs from 0xE082A1 to 0xEFBFA6");
  for (std::size_t i = 1; i < e2u.size(); ++i)
    require(e2u[i - 1].euc < e2u[i].euc, "euc2utf strictly ascending at " + hex(e2u[i].euc, 4));
  for (std::size_t i = 1; i < u2e.size(); ++i)
    require(packed(u2e[i - 1].cp) < packed(u2e[i].cp),
            "utf2euc strictly ascending at " + hex(packed(u2e[i].cp), 6));

  std::set<char32_t> targets;
  std::size_t below_0800 = 0;
  for (const auto &r : e2u) {
    require(targets.insert(r.cp).second, "no two EUC-KR codes share " + hex(r.cp, 4));
    require((r.euc >> 8) >= 0xA1 && (r.euc & 0xFF) >= 0xA1 && (r.euc & 0xFF) <= 0xFE,
            "both bytes of " + hex(r.euc, 4) + " lie in 0xA1..0xFE");
    below_0800 += r.cp < 0x800;
  }
  require(below_0800 == 170, "170 characters below U+0800, got " + std::to_string(below_0800));
  for (const auto &e : kExceptions) {
    auto it = std::find_if(e2u.begin(), e2u.end(), [&](const Row &r) { return r.euc == e.euc; });
    require(it != e2u.end() && it->cp == e.table_cp, hex(e.euc, 4) + " maps to its exception");
    // U+FF5E stays in the table: it is the new character of 0xA1AD.
    if (e.standard_cp != 0xFF5E)
      require(targets.count(e.standard_cp) == 0, hex(e.standard_cp, 4) + " has no entry");
  }
  std::map<char32_t, const Row *> by_cp;
  for (const auto &r : u2e) by_cp[r.cp] = &r;
  for (std::size_t i = 0; i < kHangulCount; ++i) {
    const char32_t cp = kUnicode11First + static_cast<char32_t>(i);
    auto it = by_cp.find(cp);
    require(it != by_cp.end() && it->second->unicode11 &&
                it->second->euc == kHangulFirst + (i / 94) * 0x100 + i % 94,
            "U+" + hex(cp, 4) + " maps to its Hangul syllable");
  }
}

std::string row_text(const Row &r, const std::map<std::uint16_t, char32_t> &current) {
  std::ostringstream os;
  os << "    {" << hex(r.euc, 4) << ", " << hex(packed(r.cp), 6) << "},  // U+"
     << hex(r.cp, 4).substr(2) << ' ';
  if (r.unicode11)
    os << "(Unicode 1.1 form of " << utf8(current.at(r.euc)) << ')';
  else
    os << utf8(r.cp);
  os << '\n';
  return os.str();
}

void write_table(const std::filesystem::path &file, const char *name, const char *order,
                 const std::vector<Row> &rows, const std::map<std::uint16_t, char32_t> &current) {
  std::ostringstream os;
  os << "// Generated by tools/gen-tables from the C library's iconv EUC-KR converter;\n"
        "// do not edit.  Regenerate with:\n"
        "//   cmake -S tools/gen-tables -B build-gen && cmake --build build-gen --target "
        "regen-tables\n"
        "// Rows: {EUC-KR code, packed UTF-8 code}, "
     << order << "; the comment names the character.\n"
     << "#include \"conv/code_pair.h\"\n\n"
     << "const CodePair " << name << "[" << rows.size() << "] = {\n";
  for (const auto &r : rows) os << row_text(r, current);
  os << "};\n";

  auto tmp = file;
  tmp += ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out << os.str();
    out.close();
    require(out.good(), "wrote " + tmp.string());
  }
  std::filesystem::rename(tmp, file);
  std::printf("gen-tables: wrote %s (%zu rows)\n", file.c_str(), rows.size());
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gen-tables OUTPUT_DIR\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  require(std::filesystem::is_directory(dir), std::string(argv[1]) + " is a directory");

  const auto e2u = build_euc2utf();
  const auto u2e = build_utf2euc(e2u);
  check_tables(e2u, u2e);

  std::map<std::uint16_t, char32_t> current;
  for (const auto &r : e2u) current[r.euc] = r.cp;
  write_table(dir / "euc2utf_table.cc", "euc2utf_tbl", "ascending by EUC-KR code", e2u, current);
  write_table(dir / "utf2euc_table.cc", "utf2euc_tbl", "ascending by UTF-8 code", u2e, current);
  return 0;
}
