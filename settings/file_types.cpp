#include "settings/file_types.h"

#include <limits.h>

#include "app/messages.h"
#include "app/path_util.h"
#include "app/platform.h"

namespace {

const char kCommandKey[] = "KorvaSE\\shell\\open\\command";
const char kOpenKey[] = "KorvaSE\\shell\\open";
const char kShellKey[] = "KorvaSE\\shell";
const char* const kUserChoiceKeys[] = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.pex",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.pfs",
};
const char kUserChoiceValue[] = "Application";
const char kMetricsKey[] = "Control Panel\\Desktop\\WindowMetrics";
const char kIconSizeValue[] = "Shell Icon Size";

const char kExportMissing[] = "korvase.dllの中に必要な関数が見つかりません。";
const char kRegistrationFailed[] = "korvase.dllの登録に失敗しました。";
const char kRegistered[] = "拡張子関連付けの登録を完了しました。";
const char kUnregistered[] = "拡張子関連付けの登録を解除しました。";

RegistryValue StringValue(const std::string& text) {
  RegistryValue value;
  value.type = kRegSz;
  value.bytes = text;
  value.bytes.push_back('\0');
  return value;
}

// A registry string need not carry its zero: stop at the first one or at
// the end of the data.
std::string TextOf(const RegistryValue& value) {
  size_t end = value.bytes.find('\0');
  return end == std::string::npos ? value.bytes : value.bytes.substr(0, end);
}

}  // namespace

std::string OpenCommandText(const std::string& programPath) {
  return "\"" + programPath + "\" \"%1\"";
}

int ParseIconSize(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long n = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (n <= static_cast<long long>(INT_MAX) + 1) n = n * 10 + (text[i] - '0');
  }
  if (negative) n = -n;
  if (n > INT_MAX) return INT_MAX;
  if (n < INT_MIN) return INT_MIN;
  return static_cast<int>(n);
}

std::string SmallerIconSizeText(const std::string& text) {
  // In 64 bits, so that the smallest int still steps down instead of wrapping.
  return std::to_string(static_cast<long long>(ParseIconSize(text)) - 1);
}

std::string KorvaseLoadMessage(const std::string& programFolder,
                               const std::string& systemFolder) {
  return HostTextOf("korvase.dllがロードできません。\nアプリケーションと同じフォルダ(") + programFolder +
         HostTextOf(")\nまたは、Windowsシステムフォルダ(") + systemFolder + HostTextOf(")に、\nkorvase.dllが必要です。");
}

std::string ProgramFolder(const std::string& programPath) {
  return HostFolder(programPath);
}


bool RegisterFileTypes(ShellHost& host) {
  if (!InvokeExtensionRegistration(host, true)) return false;
  if (!WriteOpenCommand(host)) return false;
  RefreshShellIcons(host);
  Show(kRegistered, kNoticeStyle);
  return true;
}

bool UnregisterFileTypes(ShellHost& host) {
  bool deleted = DeleteOpenCommandKeys(host);
  bool unregistered = InvokeExtensionRegistration(host, false);
  RefreshShellIcons(host);
  if (!deleted || !unregistered) return false;
  Show(kUnregistered, kNoticeStyle);
  return true;
}

void RefreshShellIcons(ShellHost& host) {
  ShellHost::Key key = host.OpenKey(RegistryRoot::kCurrentUser, kMetricsKey);
  if (!key) return;
  RegistryValue original;
  if (!host.QueryValue(key, kIconSizeValue, kIconSizeBufferBytes, &original)) {
    host.CloseKey(key);
    return;
  }
  host.SetValue(key, kIconSizeValue, StringValue(SmallerIconSizeText(TextOf(original))));
  host.ResetIconMetrics();
  // The bytes and type as they were, so that the value is left as found.
  host.SetValue(key, kIconSizeValue, original);
  host.ResetIconMetrics();
  host.CloseKey(key);
}

bool WriteOpenCommand(ShellHost& host) {
  std::string programPath;
  if (!ThePlatform().ProgramPath(&programPath)) {
    Show(kInternalError, kErrorStyle);
    return false;
  }
  ShellHost::Key key = host.CreateKey(RegistryRoot::kClassesRoot, kCommandKey);
  if (!key) return false;
  bool written = host.SetValue(key, nullptr, StringValue(OpenCommandText(programPath)));
  host.CloseKey(key);
  if (!written) return false;

  // An earlier "open with" choice in Explorer would win over the file type.
  for (const char* path : kUserChoiceKeys) {
    ShellHost::Key choice = host.OpenKey(RegistryRoot::kCurrentUser, path);
    if (!choice) continue;
    host.DeleteValue(choice, kUserChoiceValue);
    host.CloseKey(choice);
  }
  return true;
}

bool DeleteOpenCommandKeys(ShellHost& host) {
  // Innermost first: a key with subkeys cannot be deleted.
  host.DeleteKey(RegistryRoot::kClassesRoot, kCommandKey);
  host.DeleteKey(RegistryRoot::kClassesRoot, kOpenKey);
  host.DeleteKey(RegistryRoot::kClassesRoot, kShellKey);
  return true;
}

bool InvokeExtensionRegistration(ShellHost& host, bool registering) {
  std::string programPath;
  if (!ThePlatform().ProgramPath(&programPath)) {
    Show(kInternalError, kErrorStyle);
    return false;
  }
  std::string programFolder = ProgramFolder(programPath);
  ShellHost::Library library = host.LoadLibraryFile(JoinHostPath(programFolder, kComponentFile));
  if (!library) {
    std::string systemFolder;
    if (!host.SystemFolder(&systemFolder)) {
      Show(kInternalError, kErrorStyle);
      return false;
    }
    library = host.LoadLibraryFile(JoinHostPath(systemFolder, kComponentFile));
    if (!library) {
      ShowHost(KorvaseLoadMessage(programFolder, systemFolder), kErrorStyle);
      return false;
    }
  }

  bool ok = false;
  int32_t status = 0;
  if (!host.CallExport(library, registering ? "DllRegisterServer" : "DllUnregisterServer",
                       &status)) {
    Show(kExportMissing, kErrorStyle);
  } else if (status != 0) {
    Show(kRegistrationFailed, kErrorStyle);
  } else {
    ok = true;
  }
  host.FreeLibraryFile(library);
  return ok;
}
