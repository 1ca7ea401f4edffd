// Writes the seed corpora of the metadata fuzz targets from generated files.
// clang++ -std=c++17 -I. tests/fuzz/make_metadata_seeds.cpp -o /tmp/seeds && /tmp/seeds tests/fuzz/corpus
#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "tests/support/exif_fixture.h"

using fx::Bytes;
using fx::NewIfd;

namespace {

std::string g_root;

void Write(const std::string& corpus, const std::string& name, const Bytes& b) {
  std::string dir = g_root + "/" + corpus;
  mkdir(dir.c_str(), 0755);
  FILE* f = fopen((dir + "/" + name).c_str(), "wb");
  if (!f) return;
  fwrite(b.data(), 1, b.size(), f);
  fclose(f);
}

fx::IfdPtr Gps(bool little) {
  auto g = NewIfd(little);
  g->Add(0, 1, 4, {2, 2, 0, 0}).Ascii(1, "N").Rational(2, {{35, 1}, {39, 1}, {2958, 100}}).Ascii(3, "E");
  g->Rational(4, {{139, 1}, {44, 1}, {0, 1}}).Add(5, 1, 1, {0}).Rational(6, {{10, 1}});
  g->Rational(7, {{1, 1}, {2, 1}, {3, 1}}).Ascii(0x12, "WGS-84").Short(0x0C, {75});
  return g;
}

fx::IfdPtr Exif(bool little, fx::IfdPtr note, Bytes header, fx::NoteBase base) {
  auto e = NewIfd(little);
  e->Rational(0x829A, {{1, 250}}).Rational(0x829D, {{28, 10}}).Short(0x8822, {2}).Short(0x8827, {100});
  e->Undefined(0x9000, fx::Text("0230")).Ascii(0x9003, "2020:01:02 03:04:05").Rational(0x9204, {{2, 3}}, 10);
  e->Short(0x9207, {5}).Short(0x9209, {1}).Rational(0x920A, {{50, 1}});
  if (note) e->Note(note, header, base, 0, header.empty());  // headerless notes also get the Canon footer
  e->Short(0xA002, {640}).Short(0xA003, {480}).Short(0xA402, {0}).Short(0xA403, {1}).Short(0xA405, {75});
  return e;
}

Bytes ExifTiff(bool little, const char* make, fx::IfdPtr note, Bytes header, fx::NoteBase base) {
  auto thumb = NewIfd(little);
  thumb->Long(0x0201, {100}).Long(0x0202, {50});
  auto ifd0 = NewIfd(little);
  ifd0->Short(0x0100, {640}).Short(0x0101, {480}).Ascii(0x010F, make).Ascii(0x0110, "Model");
  ifd0->Short(0x0112, {6}).Sub(0x8769, Exif(little, note, header, base)).Sub(0x8825, Gps(little));
  ifd0->next = thumb;
  return fx::Tiff(*ifd0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  g_root = argv[1];

  // Maker notes.
  std::vector<uint16_t> canonSettings(25, 1);
  auto canon = NewIfd(true);
  canon->Short(0x0001, canonSettings).Ascii(0x0007, "Firmware Version 1.0").Undefined(0x000D, Bytes(20, 3));
  canon->Ascii(0x0095, "EF50mm f/1.8");
  auto nikonPreview = NewIfd(false);
  nikonPreview->Long(0x0201, {10}).Long(0x0202, {20});
  auto nikon = NewIfd(false);
  nikon->Short(0x0002, {0, 200}).Sub(0x0011, nikonPreview).Add(0x0083, 1, 1, {6});
  nikon->Rational(0x0084, {{18, 1}, {55, 1}, {35, 10}, {56, 10}}).Add(0x008B, 7, 4, {0x40, 1, 1, 0});
  auto olympusEquipment = NewIfd(true);
  olympusEquipment->Add(0x0201, 1, 6, {0, 1, 2, 0, 0, 0}).Add(0x0301, 1, 6, {0, 4, 0, 0, 0, 0});
  auto olympusCamera = NewIfd(true);
  olympusCamera->Long(0x0101, {100}).Long(0x0102, {200});
  auto olympus = NewIfd(true);
  olympus->Undefined(0x0100, Bytes(8, 0xFF)).Sub(0x2010, olympusEquipment, 13).Sub(0x2020, olympusCamera, 13);
  auto pentax = NewIfd(false);
  pentax->Long(0x0003, {10}).Long(0x0004, {20}).Short(0x003F, {0x317});
  auto sony = NewIfd(true);
  sony->Long(0xB027, {2});
  auto minolta = NewIfd(false);
  minolta->Long(0x0088, {10}).Long(0x0089, {20}).Long(0x010C, {25});
  auto panasonic = NewIfd(true);
  panasonic->Short(0x0017, {100}).Ascii(0x0051, "LUMIX");

  struct Note {
    const char* name;
    const char* make;
    fx::IfdPtr ifd;
    std::string header;
    fx::NoteBase base;
  } notes[] = {
      {"canon", "Canon", canon, "", fx::NoteBase::kTiff},
      {"nikon", "NIKON CORPORATION", nikon, std::string("Nikon\0\x02\x10\0\0", 10), fx::NoteBase::kInnerTiff},
      {"olympus", "OLYMPUS IMAGING CORP.", olympus, std::string("OLYMPUS\0II\x03\0", 12), fx::NoteBase::kNoteStart},
      {"olympus-old", "OLYMPUS OPTICAL CO.,LTD", olympus, std::string("OLYMP\0\x01\0", 8), fx::NoteBase::kTiff},
      {"pentax", "PENTAX Corporation", pentax, std::string("AOC\0MM", 6), fx::NoteBase::kTiff},
      {"sony", "SONY", sony, std::string("SONY DSC \0\0\0", 12), fx::NoteBase::kTiff},
      {"minolta", "KONICA MINOLTA", minolta, "", fx::NoteBase::kTiff},
      {"panasonic", "Panasonic", panasonic, std::string("Panasonic\0\0\0", 12), fx::NoteBase::kTiff},
  };
  Bytes records = fx::IptcRecord(0, {0, 4});
  fx::Append(records, fx::IptcRecord(5, fx::Text("Title")));
  fx::Append(records, fx::IptcRecord(120, fx::Text("Caption")));
  Bytes resources = fx::Resource8bim(1028, records);
  fx::Append(resources, fx::Resource8bim(1036, Bytes(40, 1), "thumb"));

  for (const Note& n : notes) {
    for (bool little : {true, false}) {
      Bytes tiff = ExifTiff(little, n.make, n.ifd, fx::Text(n.header), n.base);
      std::string suffix = std::string(n.name) + (little ? "-le" : "-be");
      Write("metadata_jpeg", suffix, fx::Jpeg({fx::ExifApp1(tiff), fx::App13(resources), fx::Segment(0xFE, fx::Text("c"))}));
      if (little) Write("metadata_tiff", suffix, tiff);
    }
  }
  Write("metadata_iptc", "records", resources);

  // TIFF relatives.
  auto sub = NewIfd(true);
  sub->Long(0x0100, {10}).Long(0x0201, {8}).Long(0x0202, {4});
  auto tiff0 = NewIfd(true);
  tiff0->Long(0x0111, {8}).Short(0x0112, {1}).Long(0x0117, {4}).Long(0x014A, {8, 8}).Sub(0x8769, Exif(true, nullptr, {}, {}));
  tiff0->Undefined(0x83BB, records);
  Write("metadata_tiff", "tiff-subifd", fx::Tiff(*tiff0));
  Write("metadata_tiff", "orf-be", fx::Tiff(*NewIfd(false), Bytes{'M', 'M', 'O', 'R'}));
  auto rw2 = NewIfd(true);
  rw2->Short(0x0002, {10}).Short(0x0017, {100}).Undefined(0x002E, Bytes(16, 0xFF)).Ascii(0x010F, "Panasonic");
  Write("metadata_tiff", "rw2", fx::Tiff(*rw2, Bytes{'I', 'I', 0x55, 0}));

  Bytes small = ExifTiff(false, "NIKON", nikon, fx::Text(std::string("Nikon\0\x02\x10\0\0", 10)), fx::NoteBase::kInnerTiff);

  // CRW.
  Bytes crw{'I', 'I', 26, 0, 0, 0};
  fx::Append(crw, fx::Text("HEAPCCDR"));
  crw.resize(26, 0);
  Bytes subHeap(6, 0);
  fx::Put16(subHeap, 1, true), fx::Put16(subHeap, 0x2007, true), fx::Put32(subHeap, 2, true), fx::Put32(subHeap, 0, true);
  fx::Put32(subHeap, 6, true);
  Bytes heap(4, 0);
  size_t subAt = heap.size();
  fx::Append(heap, subHeap);
  size_t dir = heap.size();
  fx::Put16(heap, 3, true);
  fx::Put16(heap, 0x4001, true), fx::Put32(heap, 0, true), fx::Put32(heap, 0, true);
  fx::Put16(heap, 0x300A, true), fx::Put32(heap, uint32_t(subHeap.size()), true), fx::Put32(heap, uint32_t(subAt), true);
  fx::Put16(heap, 0x2007, true), fx::Put32(heap, 4, true), fx::Put32(heap, 0, true);
  fx::Put32(heap, uint32_t(dir), true);
  fx::Append(crw, heap);
  Write("metadata_crw", "heap", crw);

  // RAF, MRW, X3F around the Exif TIFF.
  Bytes raf = fx::Raf(small, 100, 4200);
  Write("metadata_raf", "raf", raf);

  Bytes mrw{0, 'M', 'R', 'M'};
  mrw.resize(48, 0);
  fx::Append(mrw, ExifTiff(false, "KONICA MINOLTA", minolta, {}, fx::NoteBase::kTiff));
  Write("metadata_mrw", "mrw48", mrw);
  Bytes mrw140{0, 'M', 'R', 'M'};
  mrw140.resize(140, 0);
  fx::Append(mrw140, ExifTiff(false, "Minolta Co., Ltd.", minolta, {}, fx::NoteBase::kTiff));
  Write("metadata_mrw", "mrw140", mrw140);

  Bytes x3f = fx::X3fWithExif(small).bytes;
  Write("metadata_x3f", "x3f", x3f);

  Bytes psd = fx::Psd(resources);
  Write("metadata_psd", "psd", psd);
  return 0;
}
