// The texts that several operations show, in one place so that a box means
// the same thing whichever operation brings it up.
#ifndef QUILLET_APP_MESSAGES_H
#define QUILLET_APP_MESSAGES_H

constexpr char kAppTitle[] = "Quillet";   // the window's title, before the device's status
constexpr char kCannotConnect[] = "P/ECEに接続できません。";
constexpr char kInternalError[] = "内部エラーが発生しました。";
constexpr char kOutOfMemory[] = "メモリ不足です。";
constexpr char kNoTempFolder[] = "一時ディレクトリが取得できません。";
constexpr char kReadFailed[] = "ファイルの読み込みに失敗しました。";
constexpr char kWriteFailed[] = "ファイルの書き込みに失敗しました。";
constexpr char kDeleteFailed[] = "ファイルの削除に失敗しました。";
constexpr char kNoRoom[] = "空き容量が足りません。";
constexpr char kAlreadyThere[] = "は既に存在します。上書きしてもよろしいですか？";   // after the name
constexpr char kStartupName[] = "startup.pex";
constexpr char kStartupWriteQuestion[] = "startup.pexを書き込んでもよろしいですか？";
constexpr char kStartupDeleteQuestion[] = "startup.pexを削除してもよろしいですか？";

#endif
