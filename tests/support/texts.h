// The program's own texts as the tests expect them, byte for byte (code page
// 932 at run time): one table for the unit and the end-to-end tests.
#ifndef QUILLET_TESTS_SUPPORT_TEXTS_H
#define QUILLET_TESTS_SUPPORT_TEXTS_H

namespace text {
constexpr char kCannotConnect[] = "P/ECEに接続できません。";
constexpr char kInternalError[] = "内部エラーが発生しました。";
constexpr char kControlError[] = "実行制御エラーです。";
constexpr char kDeleteMany[] = "これらのファイルを削除してもよろしいですか？";
constexpr char kDeleteFailed[] = "ファイルの削除に失敗しました。";
constexpr char kNoTempFolder[] = "一時ディレクトリが取得できません。";
constexpr char kLruFailed[] = "LRUリストの調整に失敗しました。";
constexpr char kListOpenFailed[] = "PFSファイルが開けません。";
constexpr char kBlankInName[] = "空白を含むファイル名は転送できません。";
constexpr char kWriteFailed[] = "ファイルの書き込みに失敗しました。";
constexpr char kReadFailed[] = "ファイルの読み込みに失敗しました。";
constexpr char kStartupWrite[] = "startup.pexを書き込んでもよろしいですか？";
constexpr char kSwapFailed[] = "ファイルの入れ替えに失敗しました。";
constexpr char kRegistered[] = "拡張子関連付けの登録を完了しました。";
constexpr char kUnregistered[] = "拡張子関連付けの登録を解除しました。";
constexpr char kPauseWord[] = "ＰＡＵＳＥ";
}  // namespace text

#endif
