// Builds small TIFF, Exif, maker-note, JPEG segment, 8BIM and IPTC byte images for the metadata tests
// and fuzz seeds. Header-only and free of windows.h so native and Wine tests share it.
#pragma once
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fx {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint16_t v, bool little) {
  if (little) b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)});
  else b.insert(b.end(), {uint8_t(v >> 8), uint8_t(v)});
}
inline void Put32(Bytes& b, uint32_t v, bool little) {
  if (little) b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
  else b.insert(b.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}
inline void Patch32(Bytes& b, size_t at, uint32_t v, bool little) {
  Bytes t;
  Put32(t, v, little);
  memcpy(&b[at], t.data(), 4);
}
inline void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }
inline Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

struct Ifd;
using IfdPtr = std::shared_ptr<Ifd>;

// How a maker note's directory finds its values.
enum class NoteBase { kTiff, kNoteStart, kInnerTiff };

struct Entry {
  uint16_t tag = 0, type = 0;
  uint32_t count = 0;
  Bytes bytes;               // the value; inline when 4 bytes or fewer
  bool rawField = false;     // write field as given instead of an offset
  uint32_t field = 0;
  IfdPtr sub;                // value is the offset of this directory
  IfdPtr note;               // maker note: header bytes, then this directory
  Bytes noteHeader;
  NoteBase noteBase = NoteBase::kTiff;
  uint32_t noteShift = 0;    // the note's offsets are as they were this many bytes earlier in the file
  bool noteFooter = false;   // end the note with "II*\0" and its old position
};

struct Ifd {
  bool little = true;
  std::vector<Entry> entries;
  IfdPtr next;

  explicit Ifd(bool le) : little(le) {}
  Ifd& Add(uint16_t tag, uint16_t type, uint32_t count, Bytes bytes) {
    Entry e;
    e.tag = tag, e.type = type, e.count = count, e.bytes = std::move(bytes);
    entries.push_back(std::move(e));
    return *this;
  }
  Ifd& Short(uint16_t tag, std::vector<uint16_t> v, uint16_t type = 3) {
    Bytes b;
    for (uint16_t x : v) Put16(b, x, little);
    return Add(tag, type, uint32_t(v.size()), b);
  }
  Ifd& Long(uint16_t tag, std::vector<uint32_t> v, uint16_t type = 4) {
    Bytes b;
    for (uint32_t x : v) Put32(b, x, little);
    return Add(tag, type, uint32_t(v.size()), b);
  }
  Ifd& Rational(uint16_t tag, std::vector<std::pair<uint32_t, uint32_t>> v, uint16_t type = 5) {
    Bytes b;
    for (auto& x : v) Put32(b, x.first, little), Put32(b, x.second, little);
    return Add(tag, type, uint32_t(v.size()), b);
  }
  Ifd& Ascii(uint16_t tag, const std::string& s) {
    Bytes b = Text(s);
    b.push_back(0);
    return Add(tag, 2, uint32_t(b.size()), b);
  }
  Ifd& Undefined(uint16_t tag, Bytes b) { return Add(tag, 7, uint32_t(b.size()), b); }
  Ifd& Raw(uint16_t tag, uint16_t type, uint32_t count, uint32_t field) {
    Entry e;
    e.tag = tag, e.type = type, e.count = count, e.rawField = true, e.field = field;
    entries.push_back(std::move(e));
    return *this;
  }
  Ifd& Sub(uint16_t tag, IfdPtr d, uint16_t type = 4) {
    Entry e;
    e.tag = tag, e.type = type, e.count = 1, e.sub = std::move(d);
    entries.push_back(std::move(e));
    return *this;
  }
  Ifd& Note(IfdPtr d, Bytes header, NoteBase base, uint32_t shift = 0, bool footer = false) {
    Entry e;
    e.tag = 0x927C, e.type = 7, e.note = std::move(d), e.noteHeader = std::move(header), e.noteBase = base;
    e.noteShift = shift, e.noteFooter = footer;
    entries.push_back(std::move(e));
    return *this;
  }
};

inline IfdPtr NewIfd(bool little) { return std::make_shared<Ifd>(little); }

// Writes a directory at the end of out; offsets are relative to base. Returns the directory's position.
inline size_t WriteIfd(Bytes& out, const Ifd& d, size_t base) {
  const bool le = d.little;
  size_t pos = out.size();
  Put16(out, uint16_t(d.entries.size()), le);
  for (const Entry& e : d.entries) {
    Put16(out, e.tag, le), Put16(out, e.type, le), Put32(out, e.count, le);
    Bytes field = e.bytes;
    if (e.rawField) field.clear(), Put32(field, e.field, le);
    field.resize(4, 0);
    if (e.bytes.size() > 4 && !e.rawField) field.assign(4, 0);
    Append(out, field);
  }
  size_t link = out.size();
  Put32(out, 0, le);
  for (size_t i = 0; i < d.entries.size(); ++i) {
    const Entry& e = d.entries[i];
    size_t fieldAt = pos + 2 + i * 12 + 8;
    if (e.sub) {
      size_t at = WriteIfd(out, *e.sub, base);
      Patch32(out, fieldAt, uint32_t(at - base), le);
    } else if (e.note) {
      size_t notePos = out.size();
      Append(out, e.noteHeader);
      size_t noteBase = (e.noteBase == NoteBase::kTiff ? base : notePos) + e.noteShift;
      if (e.noteBase == NoteBase::kInnerTiff) {
        noteBase = out.size();
        Append(out, e.note->little ? Bytes{'I', 'I', 42, 0} : Bytes{'M', 'M', 0, 42});
        Put32(out, 8, e.note->little);
      }
      WriteIfd(out, *e.note, noteBase);
      if (e.noteFooter) {
        Append(out, Text(std::string("II*\0", 4)));
        Put32(out, uint32_t(notePos - base - e.noteShift), true);
      }
      Patch32(out, fieldAt, uint32_t(notePos - base), le);
      Patch32(out, fieldAt - 4, uint32_t(out.size() - notePos), le);
    } else if (e.bytes.size() > 4 && !e.rawField) {
      if (out.size() & 1) out.push_back(0);
      Patch32(out, fieldAt, uint32_t(out.size() - base), le);
      Append(out, e.bytes);
    }
  }
  if (d.next) Patch32(out, link, uint32_t(WriteIfd(out, *d.next, base) - base), le);
  return pos;
}

// A TIFF image: header, then the 0th IFD at offset 8.
inline Bytes Tiff(const Ifd& root, Bytes magic = {}) {
  Bytes out;
  if (magic.empty()) magic = root.little ? Bytes{'I', 'I', 42, 0} : Bytes{'M', 'M', 0, 42};
  Append(out, magic);
  Put32(out, 8, root.little);
  WriteIfd(out, root, 0);
  return out;
}

// JPEG segments.
inline Bytes Segment(uint8_t marker, const Bytes& data) {
  Bytes b{0xFF, marker};
  Put16(b, uint16_t(data.size() + 2), false);
  Append(b, data);
  return b;
}
inline Bytes ExifApp1(const Bytes& tiff) {
  Bytes d = Text(std::string("Exif\0\0", 6));
  Append(d, tiff);
  return Segment(0xE1, d);
}
inline Bytes Resource8bim(uint16_t id, const Bytes& data, const std::string& name = "") {
  Bytes b = Text("8BIM");
  Put16(b, id, false);
  b.push_back(uint8_t(name.size()));
  Append(b, Text(name));
  if ((name.size() + 1) & 1) b.push_back(0);
  Put32(b, uint32_t(data.size()), false);
  Append(b, data);
  if (data.size() & 1) b.push_back(0);
  return b;
}
inline Bytes App13(const Bytes& resources) {
  Bytes d = Text(std::string("Photoshop 3.0\0", 14));
  Append(d, resources);
  return Segment(0xED, d);
}
inline Bytes IptcRecord(uint8_t dataset, const Bytes& value, uint8_t record = 2) {
  Bytes b{0x1C, record, dataset};
  Put16(b, uint16_t(value.size()), false);
  Append(b, value);
  return b;
}
// SOI, the segments, a minimal scan and EOI.
inline Bytes Jpeg(const std::vector<Bytes>& segments) {
  Bytes b{0xFF, 0xD8};
  for (const Bytes& s : segments) Append(b, s);
  Append(b, Segment(0xDA, Bytes{1, 1, 0, 0, 63, 0}));
  Append(b, Bytes{0x12, 0x34, 0xFF, 0xD9});
  return b;
}

// RAF: magic, padding, then a JPEG start whose Exif block holds the TIFF image (at jpegAt + 12).
inline Bytes Raf(const Bytes& tiff, size_t jpegAt, size_t total) {
  Bytes raf = Text("FUJIFILMCCD-RAW 0201");
  raf.resize(jpegAt, 0);
  Append(raf, {0xFF, 0xD8, 0xFF, 0xE1, 0, 0});
  Append(raf, Text(std::string("Exif\0\0", 6)));
  Append(raf, tiff);
  if (raf.size() < total) raf.resize(total, 0);
  return raf;
}

// X3F: one IMA2 section at 40 (28-byte header, then a JPEG with the Exif block), the section directory last.
struct X3f {
  Bytes bytes;
  size_t section, length, directory;
};
inline X3f X3fWithExif(const Bytes& tiff) {
  X3f x;
  x.bytes = Text("FOVb");
  x.bytes.resize(40, 0);
  x.section = x.bytes.size();
  x.bytes.resize(x.section + 28, 0);
  Append(x.bytes, {0xFF, 0xD8});
  Append(x.bytes, ExifApp1(tiff));
  x.length = x.bytes.size() - x.section;
  x.directory = x.bytes.size();
  Append(x.bytes, Text("SECd"));
  Put32(x.bytes, 2, true), Put32(x.bytes, 1, true);
  Put32(x.bytes, uint32_t(x.section), true), Put32(x.bytes, uint32_t(x.length), true);
  Append(x.bytes, Text("IMA2"));
  Put32(x.bytes, uint32_t(x.directory), true);
  return x;
}

// PSD header with colour-mode data of the given length, then the image-resource block.
inline Bytes Psd(const Bytes& resources, size_t colourModeLength = 0) {
  Bytes psd = Text("8BPS");
  psd.resize(26, 0);
  Put32(psd, uint32_t(colourModeLength), false);
  psd.resize(psd.size() + colourModeLength, 9);
  Put32(psd, uint32_t(resources.size()), false);
  Append(psd, resources);
  return psd;
}

}  // namespace fx
