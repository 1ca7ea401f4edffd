#include <gtest/gtest.h>

#include <string>

#include "core/pure/path_text.h"

namespace {

using Split = void (*)(const char16_t*, char16_t*);

std::string Narrow(const char16_t* s) {
  std::string out;
  for (; *s; ++s) out += *s < 0x80 ? char(*s) : '?';
  return out;
}

std::u16string SplitOf(Split f, const char16_t* in) {
  char16_t out[kPathUnits];
  std::fill(std::begin(out), std::end(out), u'#');
  f(in, out);
  return out;
}

TEST(PathText, Splitting) {
  struct Case { Split f; const char16_t* in; const char16_t* want; } cases[] = {
      {GetFolderPart, u"C:\\a\\b.jpg", u"C:\\a\\"},
      {GetFileNamePart, u"C:\\a\\b.jpg", u"b.jpg"},
      {GetNameWithoutExtension, u"C:\\a\\b.jpg", u"b"},
      {GetFolderPart, u"b.jpg", u""},
      {GetFileNamePart, u"b.jpg", u"b.jpg"},
      {GetFileNamePart, u"C:\\a\\", u""},
      {GetFolderPart, u"C:/a/b.jpg", u"C:/a/"},
      {GetFileNamePart, u"C:/a/b.jpg", u"b.jpg"},
      {GetFolderPart, u"C:\\a/b\\c", u"C:\\a/b\\"},
      {GetNameWithoutExtension, u"x\\archive.tar.gz", u"archive.tar"},
      {GetNameWithoutExtension, u"x\\.hidden", u""},
      {GetNameWithoutExtension, u"x.d\\noext", u"noext"},
      {GetExtension, u"C:\\pics.old\\IMG", u"old\\IMG"},
      {GetExtension, u"IMG", u""},
      {GetExtension, u"a.JPG", u"JPG"},
      {GetDriveRoot, u"D:\\x\\y", u"D:\\"},
      {GetDriveRoot, u"\\\\server\\share", u""},
      {GetDriveRoot, u"D:", u"D:"},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitOf(c.f, c.in), std::u16string(c.want)) << Narrow(c.in);
}

TEST(PathText, OverlongInputNeverOverrunsTheOutput) {
  std::u16string longPath(600, u'a');
  longPath[300] = u'\\';
  for (Split f : {GetFolderPart, GetFileNamePart, GetNameWithoutExtension, GetExtension, GetDriveRoot}) {
    char16_t out[kPathUnits + 1];
    out[kPathUnits] = u'!';
    f(longPath.c_str(), out);
    EXPECT_EQ(out[kPathUnits], u'!');
    EXPECT_LT(TextLength(out), kPathUnits);
  }
}

TEST(PathText, RemoveBlanksAndUpperCase) {
  struct Case { const char16_t* in; const char16_t* want; bool removed; } cases[] = {
      {u"Canon EOS 5D", u"canoneos5d", true},
      {u"abc", u"abc", false},
      {u"A\tB\u3000C", u"a\tb\u3000c", false},
      {u"   ", u"", true},
  };
  for (const auto& c : cases) {
    std::u16string s = c.in;
    EXPECT_EQ(RemoveBlanks(s.data()), c.removed);
    EXPECT_EQ(std::u16string(s.c_str()), c.want);
  }
  std::u16string u = u"abc\u00e9\uff41z";
  ToUpperInPlace(u.data());
  EXPECT_EQ(u, u"ABC\u00c9\uff21Z");
}

TEST(PathText, Comparisons) {
  struct Case { int (*f)(const char16_t*, const char16_t*); const char16_t* a; const char16_t* b; int want; } cases[] = {
      {CompareTextNoCase, u"abc", u"ABD", -1},
      {CompareTextNoCase, u"abd", u"abc", 1},
      {CompareTextNoCase, u"ab", u"abc", -1},
      {CompareTextNoCase, u"abc", u"ab", 1},
      {CompareTextNoCase, u"HeLLo", u"hello", 0},
      {CompareTextNoCase, u"", u"", 0},
      {ComparePaths, u"C:\\A\\IMG_0001.JPG", u"c:\\a\\img_0001.jpg", 0},
      {ComparePaths, u"C:\\A\\IMG_0001.JPG", u"C:\\A\\IMG_0001.JPGX", -1},
      {ComparePaths, u"C:\\A\\IMG_0001.JPG", u"C:\\A\\IMG_0002.JPG", -1},
      {ComparePaths, u"C:\\B\\IMG_0001.JPG", u"C:\\A\\IMG_0001.JPG", 1},
      {ComparePaths, u"a.jpg", u"b.jpg", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(c.f(c.a, c.b), c.want);
}

TEST(PathText, Validity) {
  struct Case { const char16_t* path; bool folder; bool file; } cases[] = {
      {u"C:\\Pics\\Old", true, true},
      {u"pics\\new", true, true},
      {u"", true, false},
      {u"C:Pics", false, false},
      {u"C:\\a\\\\b", false, false},
      {u"\\\\server\\share", false, false},
      {u"C:\\a\\   \\b", false, false},
      {u"C:\\a*b", false, false},
      {u"1:\\x", false, false},
      {u"C:\\a\\b.jpg", true, true},
      {u"C:\\a\\   ", false, true},
      {u"C:\\a\\", true, false},
      {u"C:\\a\\b?.jpg", false, false},
      {u"C:\\a\\b:c.jpg", false, false},
      {u"C:\\a/b", false, false},
      {u"C:", true, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsValidFolderPath(c.path), c.folder) << Narrow(c.path);
    EXPECT_EQ(IsValidFilePath(c.path), c.file) << Narrow(c.path);
  }
  std::u16string tooLong(300, u'a');
  EXPECT_FALSE(IsValidFolderPath(tooLong.c_str()));
  EXPECT_FALSE(IsValidFilePath(tooLong.c_str()));
  EXPECT_TRUE(HasNoBlankPathComponent(u"a\\\\b"));
  EXPECT_FALSE(HasNoBlankPathComponent(u" \\b"));
}

TEST(PathText, TypedItemNames) {
  struct Case { const char16_t* name; bool ok; } cases[] = {
      {u"photo.jpg", true}, {u"新しいフォルダ", true}, {u"..", false}, {u".", false}, {u"...", true},
      {u"..\\x.jpg", false}, {u"a/b", false}, {u"", false}, {u"a:b", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidItemName(c.name), c.ok);
}

TEST(PathText, FoldDotDotSegments) {
  struct Case { const char16_t* in; const char16_t* want; } cases[] = {
      {u"C:\\a\\b\\..\\c", u"C:\\a\\c"},
      {u"C:\\a\\.\\b", u"C:\\a\\b"},
      {u"C:\\Tools\\Viewer\\.\\user\\cache\\", u"C:\\Tools\\Viewer\\user\\cache\\"},
      {u"C:\\Tools\\Viewer\\..\\shared\\mail\\", u"C:\\Tools\\shared\\mail\\"},
      {u"C:\\a\\b\\..\\..\\..\\x", u"C:\\x"},
      {u"C:\\..\\x", u"C:\\x"},
      {u"..\\x", u"..\\x"},
      {u"a\\..\\..\\x", u"..\\x"},
      {u"\\\\srv\\share\\..\\x\\", u"\\\\srv\\share\\x\\"},
      {u"\\\\srv\\share\\a\\..\\b", u"\\\\srv\\share\\b"},
      {u"C:\\a\\b..\\c", u"C:\\a\\b..\\c"},
      {u"C:\\a\\.\\.\\b\\.\\", u"C:\\a\\b\\"},
  };
  for (const auto& c : cases) {
    char16_t out[kPathUnits];
    ASSERT_TRUE(FoldDotDotSegments(c.in, out, kPathUnits));
    EXPECT_EQ(std::u16string(out), c.want);
  }
  char16_t small[6];
  EXPECT_FALSE(FoldDotDotSegments(u"C:\\abcdef", small, 6));
  EXPECT_EQ(small[0], 0);
}

TEST(PathText, StripTrailingBackslash) {
  struct Case { const char16_t* in; const char16_t* want; } cases[] = {
      {u"\\", u"\\"}, {u"C:\\data\\", u"C:\\data"}, {u"C:\\data", u"C:\\data"}, {u"", u""}, {u"a\\\\", u"a\\"},
  };
  for (const auto& c : cases) {
    std::u16string s = c.in;
    StripTrailingBackslash(s.data());
    EXPECT_EQ(std::u16string(s.c_str()), c.want);
  }
}

// A drive's root ends with its separator ("C:\\"); a share's long form is "\\\\?\\UNC\\server\\...".
TEST(PathText, JoinFolderAndNameAndMakeLongPath) {
  const char16_t* joins[][3] = {{u"C:\\", u"a.jpg", u"C:\\a.jpg"}, {u"C:\\Pics", u"a", u"C:\\Pics\\a"}, {u"", u"a", u"a"}};
  const char16_t* longs[][2] = {{u"C:\\x\\a.cac", u"\\\\?\\C:\\x\\a.cac"},
                                {u"\\\\srv\\share\\x\\", u"\\\\?\\UNC\\srv\\share\\x\\"},
                                {u"//srv/share/x.co", u"\\\\?\\UNC\\srv\\share\\x.co"},
                                {u"\\\\?\\C:\\x", u"\\\\?\\C:\\x"}, {u"\\\\.\\pipe\\x", u"\\\\.\\pipe\\x"},
                                {u"user\\cache\\", u"user\\cache\\"}};
  char16_t out[kPathUnits], small[8];
  for (const auto& j : joins) {
    ASSERT_TRUE(JoinFolderAndName(j[0], j[1], out, kPathUnits));
    EXPECT_EQ(std::u16string(out), j[2]);
  }
  for (const auto& l : longs) {
    ASSERT_TRUE(MakeLongPath(l[0], out, kPathUnits));
    EXPECT_EQ(std::u16string(out), l[1]);
  }
  EXPECT_FALSE(JoinFolderAndName(u"C:", u"abcde", small, 8));
  EXPECT_FALSE(MakeLongPath(u"C:\\abc", small, 8));
  EXPECT_EQ(small[0], 0);
}

TEST(PathText, Replace) {
  enum Kind { kFirst, kAll };
  struct Case { Kind kind; const char16_t* text; const char16_t* oldText; const char16_t* newText; size_t cap;
                bool done; const char16_t* want; } cases[] = {
      {kAll, u"\"C:\\My Pics\\a.jpg\"", u"\"", u"", 260, true, u"C:\\My Pics\\a.jpg"},
      {kFirst, u"\"C:\\x\"", u"\"", u"", 260, true, u"C:\\x\""},
      {kAll, u"xxABCyyabc", u"ABC", u"-", 260, true, u"xx-yy-"},
      {kFirst, u"Xabc Y", u"ABC", u"d", 260, true, u"Xd Y"},
      {kAll, u"aXa", u"a", u"aa", 260, true, u"aaXaa"},       // new text holding the old one does not loop
      {kAll, u"abc", u"abc", u"abc", 260, false, u"abc"},      // equal texts: nothing to do
      {kAll, u"abc", u"abc", u"ABC", 260, true, u"ABC"},       // equality of the texts is exact
      {kAll, u"", u"a", u"b", 260, false, u""},
      {kAll, u"abc", u"", u"b", 260, false, u"abc"},
      {kAll, u"abc", u"x", u"y", 260, false, u"abc"},
      {kAll, u"aaaa", u"a", u"bb", 8, false, u"aaaa"},         // 8 units + terminator do not fit into 8
      {kAll, u"aaa", u"a", u"bb", 7, true, u"bbbbbb"},
      {kAll, u"a\uff1bb\uff1b", u"\uff1b", u";", 260, true, u"a;b;"},
  };
  for (const auto& c : cases) {
    char16_t buf[kPathUnits] = {};
    CopyText(buf, kPathUnits, c.text);
    const bool done = c.kind == kFirst ? ReplaceFirstSubstring(buf, c.cap, c.oldText, c.newText)
                                       : ReplaceAllSubstrings(buf, c.cap, c.oldText, c.newText);
    EXPECT_EQ(done, c.done);
    EXPECT_EQ(std::u16string(buf), c.want);
  }
}

}  // namespace
