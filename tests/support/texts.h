// The program's own texts as the tests expect them, byte for byte (code page
// 932 at run time): one table for the unit and the end-to-end tests.
#ifndef QUILLET_TESTS_SUPPORT_TEXTS_H
#define QUILLET_TESTS_SUPPORT_TEXTS_H

namespace text {
constexpr char kCannotConnect[] = "P/ECEに接続できません。";
constexpr char kInternalError[] = "内部エラーが発生しました。";
constexpr char kOutOfMemory[] = "メモリ不足です。";
constexpr char kControlError[] = "実行制御エラーです。";
constexpr char kMemoryWriteFailed[] = "メモリへの書き込みに失敗しました。";
constexpr char kListFailed[] = "ファイルリストの取得に失敗しました。";
constexpr char kDeleteOne[] = "ファイルを削除してもよろしいですか？";
constexpr char kDeleteMany[] = "これらのファイルを削除してもよろしいですか？";
constexpr char kDeleteStartup[] = "startup.pexを削除してもよろしいですか？";
constexpr char kDeleteFailed[] = "ファイルの削除に失敗しました。";
constexpr char kNoTempFolder[] = "一時ディレクトリが取得できません。";
constexpr char kReadFailed[] = "ファイルの読み込みに失敗しました。";
constexpr char kLruFailed[] = "LRUリストの調整に失敗しました。";
constexpr char kListOpenFailed[] = "PFSファイルが開けません。";
constexpr char kBlankInName[] = "空白を含むファイル名は転送できません。";
constexpr char kWriteStartup[] = "startup.pexを書き込んでもよろしいですか？";
constexpr char kNoRoom[] = "空き容量が足りません。";
constexpr char kWriteFailed[] = "ファイルの書き込みに失敗しました。";
constexpr char kSwapFailed[] = "ファイルの入れ替えに失敗しました。";
constexpr char kOverwrite[] = "を上書きしてもよろしいですか？";   // after the swap path
constexpr char kRegistered[] = "拡張子関連付けの登録を完了しました。";
constexpr char kUnregistered[] = "拡張子関連付けの登録を解除しました。";
constexpr char kExportMissing[] = "korvase.dllの中に必要な関数が見つかりません。";
constexpr char kRegistrationFailed[] = "korvase.dllの登録に失敗しました。";
constexpr char kTextLimit[] = "256 文字以内で入力してください。";
constexpr char kPauseWord[] = "ＰＡＵＳＥ";
}  // namespace text

#endif
