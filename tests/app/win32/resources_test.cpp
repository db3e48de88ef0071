// The resources of talvorine.exe itself, read from the built file.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <string_view>

#include "app/win32/resource_ids.h"

namespace {

// The exe as a data file; a Unix path of the build is reached through drive Z:.
class ProgramResources : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string path = TALVORINE_EXE_PATH;
    if (!path.empty() && path[0] == '/') {
      path = "Z:" + path;
    }
    for (char& c : path) {
      c = c == '/' ? '\\' : c;
    }
    module_ = LoadLibraryExA(path.c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << path;
  }
  void TearDown() override {
    if (module_ != nullptr) {
      FreeLibrary(module_);
    }
  }
  std::string_view Resource(LPCWSTR type, LPCWSTR name) const {
    HRSRC found = FindResourceW(module_, name, type);
    if (found == nullptr) {
      return {};
    }
    HGLOBAL loaded = LoadResource(module_, found);
    return {static_cast<const char*>(LockResource(loaded)), SizeofResource(module_, found)};
  }
  int ResourceCount(LPCWSTR type) const {
    int count = 0;
    EnumResourceNamesW(
        module_, type,
        [](HMODULE, LPCWSTR, LPWSTR, LONG_PTR counter) -> BOOL {
          ++*reinterpret_cast<int*>(counter);
          return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&count));
    return count;
  }
  HMODULE module_ = nullptr;
};

TEST_F(ProgramResources, CarryOneManifestWithCommonControlsSixAndPerMonitorDpi) {
  EXPECT_EQ(ResourceCount(RT_MANIFEST), 1);
  const std::string_view manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
  ASSERT_FALSE(manifest.empty());
  for (std::string_view part :
       {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "true/pm", "PerMonitorV2",
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "asInvoker"}) {
    EXPECT_NE(manifest.find(part), std::string_view::npos) << part;
  }
}

TEST_F(ProgramResources, CarryTheProgramIconAndTheTrayFrames) {
  for (int id :
       {IDI_TALVORINE, IDI_TRAY_FRAME0, IDI_TRAY_FRAME1, IDI_TRAY_FRAME2, IDI_TRAY_FRAME3}) {
    EXPECT_FALSE(Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(id)).empty()) << id;
  }
}

TEST_F(ProgramResources, CarryVersionInformationInJapanese) {
  const std::string_view version = Resource(RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO));
  ASSERT_GE(version.size(), sizeof(VS_FIXEDFILEINFO));
  const std::wstring_view wide(reinterpret_cast<const wchar_t*>(version.data()),
                               version.size() / sizeof(wchar_t));
  for (std::wstring_view part : {std::wstring_view(L"041104B0"), std::wstring_view(L"1.32"),
                                 std::wstring_view(L"\u8981\u7d04\u7b46\u8a18")}) {
    EXPECT_NE(wide.find(part), std::wstring_view::npos);
  }
}

}  // namespace
