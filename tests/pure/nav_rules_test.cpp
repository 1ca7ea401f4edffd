#include <gtest/gtest.h>

#include <string>

#include "browser/pure/nav_rules.h"

namespace {
std::u16string S(const char16_t* t) { return t; }

TEST(NavRules, SplitFirstPathComponentWalksEveryComponent) {
  char16_t path[64] = u"Desktop\\My Computer\\C:\\\\a";
  char16_t first[64];
  std::u16string seen;
  while (SplitFirstPathComponent(path, first, 64)) seen += S(first) + u"|";
  EXPECT_EQ(seen, u"Desktop|My Computer|C:||a|");
  EXPECT_FALSE(SplitFirstPathComponent(path, first, 64));
  char16_t longer[16] = u"abcdefgh\\x";
  char16_t tiny[4];
  EXPECT_FALSE(SplitFirstPathComponent(longer, tiny, 4));
}

TEST(NavRules, SplitShellPathKinds) {
  struct Row {
    const char16_t* path;
    ShellPathKind kind;
    const char16_t* root;
    const char16_t* rest;
  } rows[] = {
      {u"X:\\a\\b", ShellPathKind::kDrive, u"X:\\", u"\\a\\b"},
      {u"c:", ShellPathKind::kDrive, u"c:\\", u""},
      {u"C:\\", ShellPathKind::kDrive, u"C:\\", u""},
      {u"\\\\srv\\share\\x", ShellPathKind::kUnc, u"\\\\srv", u"share\\x"},
      {u"\\\\srv", ShellPathKind::kUnc, u"\\\\srv", u""},
      {u"relative\\a", ShellPathKind::kNone, u"", u""},
      {u"C:a", ShellPathKind::kNone, u"", u""},
      {u"\\\\", ShellPathKind::kNone, u"", u""},
      {u"\\a", ShellPathKind::kNone, u"", u""},
      {u"", ShellPathKind::kNone, u"", u""},
  };
  for (const Row& r : rows) {
    char16_t root[16] = {}, rest[64] = {};
    EXPECT_EQ(SplitShellPath(r.path, root, 16, rest, 64), r.kind);
    if (r.kind != ShellPathKind::kNone) {
      EXPECT_EQ(S(root), S(r.root));
      EXPECT_EQ(S(rest), S(r.rest));
    }
  }
}

TEST(NavRules, DriveRootsFromItemTextsAndDisplayPaths) {
  struct Row {
    const char16_t* text;
    const char16_t* root;  // null: no drive
  } texts[] = {
      {u"System (C:)", u"C:\\"}, {u"d:", u"d:\\"}, {u"Trash", nullptr}, {u"ab:", nullptr}, {u":", nullptr},
      {u"ネットワーク (Z:)", u"Z:\\"},
  };
  for (const Row& r : texts) {
    char16_t out[8] = {};
    EXPECT_EQ(DriveRootFromItemText(r.text, out, 8), r.root != nullptr);
    if (r.root) EXPECT_EQ(S(out), S(r.root));
  }
  struct Path {
    const char16_t* display;
    const char16_t* folder;  // null: none recoverable
  } paths[] = {
      {u"Desktop\\My Computer\\System (C:)\\a\\b", u"C:\\a\\b"},
      {u"Desktop\\My Computer\\C:", u"C:\\"},
      {u"Desktop\\Trash", nullptr},
      {u"", nullptr},
  };
  for (const Path& p : paths) {
    char16_t out[260] = {};
    EXPECT_EQ(FileSystemPathFromDisplayPath(p.display, out, 260), p.folder != nullptr);
    if (p.folder) EXPECT_EQ(S(out), S(p.folder));
  }
}

TEST(NavRules, FolderCommandTargets) {
  std::u16string longPath = u"C:\\" + std::u16string(260, u'a');
  struct Row {
    const char16_t* path;
    bool ok;
  } rows[] = {
      {u"C:\\photos", true},  {u"C:\\photos\\2020", true}, {u"C:\\", false},        {u"C:", false},
      {u"", false},           {u"photos", false},          {u"\\photos", false},    {u"\\\\srv\\share", false},
      {u"\\\\srv\\share\\a", true}, {longPath.c_str(), false},
  };
  for (const Row& r : rows) EXPECT_EQ(IsFolderCommandTarget(r.path), r.ok) << r.ok;
}

TEST(NavRules, ChildAndRenamedFolderPathsAreBounded) {
  char16_t out[260];
  ASSERT_TRUE(BuildChildFolderPath(u"C:\\a", u"新しいフォルダ", out, 260));
  EXPECT_EQ(S(out), u"C:\\a\\新しいフォルダ");
  ASSERT_TRUE(BuildChildFolderPath(u"C:\\", u"b", out, 260));
  EXPECT_EQ(S(out), u"C:\\b");
  EXPECT_FALSE(BuildChildFolderPath(u"C:\\a", u"", out, 260));
  EXPECT_FALSE(BuildChildFolderPath(u"C:\\a", u"x\\y", out, 260));
  // 255 + "\" + 4 = 260 characters: one too many.
  std::u16string folder = u"C:\\" + std::u16string(252, u'f');
  EXPECT_FALSE(BuildChildFolderPath(folder.c_str(), u"name", out, 260));
  EXPECT_TRUE(BuildChildFolderPath(folder.c_str(), u"nam", out, 260));

  ASSERT_TRUE(BuildRenamedFolderPath(u"C:\\a\\old", u"new", out, 260));
  EXPECT_EQ(S(out), u"C:\\a\\new");
  EXPECT_FALSE(BuildRenamedFolderPath(u"old", u"new", out, 260));
  EXPECT_FALSE(BuildRenamedFolderPath(u"C:\\a\\old", u"", out, 260));
}

TEST(NavRules, SearchResultNames) {
  EXPECT_TRUE(IsSearchResultName(u"検索結果"));
  EXPECT_TRUE(IsSearchResultName(u"検索結果12"));
  EXPECT_FALSE(IsSearchResultName(u"検索結"));
  EXPECT_FALSE(IsSearchResultName(u"旅行 検索結果1"));
  EXPECT_FALSE(IsSearchResultName(u""));
}
}  // namespace
