#include "files/dialogs.h"

namespace talvorine::files {

namespace {

constexpr FileDialogSpec kSetLoadDlg{
    FileDialogKind::kOpen, "設定ファイル読み込み",
    "Talvorine 設定ファイル(*.tvs)|*.tvs|すべてのファイル(*.*)|*.*", "tvs", "自動読込.tvs",
    /*file_must_exist=*/true, /*path_must_exist=*/true, /*prompt_overwrite=*/false,
    /*prompt_create=*/false};

constexpr FileDialogSpec kSaveSetDlg{
    FileDialogKind::kSave, "設定の保存",
    "Talvorine設定ファイル(*.tvs)|*.tvs|自動読込ファイル|自動読込.tvs", "tvs", "自動読込",
    /*file_must_exist=*/false, /*path_must_exist=*/true, /*prompt_overwrite=*/true,
    /*prompt_create=*/true};

constexpr FileDialogSpec kWordLoadDlg{
    FileDialogKind::kOpen, "語句リストの読込",
    "Talvorine語句ファイル(*.tvw)|*.tvw|テキスト(*.txt)|*.txt|すべてのファイル(*.*)|*.*", "tvw",
    "自動読込.tvw", /*file_must_exist=*/true, /*path_must_exist=*/true,
    /*prompt_overwrite=*/false, /*prompt_create=*/false};

constexpr FileDialogSpec kSaveWordDlg{
    FileDialogKind::kSave, "語句リストの保存",
    "Talvorine語句ファイル(*.tvw)|*.tvw|テキストファイル(*.txt)|*.txt", "tvw", "自動読込",
    /*file_must_exist=*/false, /*path_must_exist=*/true, /*prompt_overwrite=*/true,
    /*prompt_create=*/true};

constexpr FileDialogSpec kSendFileDialog{
    FileDialogKind::kOpen, "送信するファイルを指示", "すべてのファイル(*.*)|*.*", "", "",
    /*file_must_exist=*/true, /*path_must_exist=*/true, /*prompt_overwrite=*/false,
    /*prompt_create=*/false};

// Saving a received file overwrites without asking.
constexpr FileDialogSpec kNWRecvFile{
    FileDialogKind::kSave, "受信したファイルの保存", "", "", "",
    /*file_must_exist=*/false, /*path_must_exist=*/true, /*prompt_overwrite=*/false,
    /*prompt_create=*/false};

}  // namespace

const FileDialogSpec& DialogSpec(FileDialogId id) {
  switch (id) {
    case FileDialogId::kSetLoadDlg:
      return kSetLoadDlg;
    case FileDialogId::kSaveSetDlg:
      return kSaveSetDlg;
    case FileDialogId::kWordLoadDlg:
      return kWordLoadDlg;
    case FileDialogId::kSaveWordDlg:
      return kSaveWordDlg;
    case FileDialogId::kSendFileDialog:
      return kSendFileDialog;
    case FileDialogId::kNWRecvFile:
      return kNWRecvFile;
  }
  return kSetLoadDlg;
}

}  // namespace talvorine::files
