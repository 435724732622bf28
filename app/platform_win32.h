// The Windows implementation of the platform seam.
#ifndef QUILLET_APP_PLATFORM_WIN32_H
#define QUILLET_APP_PLATFORM_WIN32_H

#include <windows.h>

#include <string>

#include "app/platform.h"

class Win32Platform : public Platform {
 public:
  Win32Platform();

  // The owner of message boxes: the main window once it exists.
  void SetMainWindow(HWND window) { mainWindow_ = window; }
  HWND MainWindow() const { return mainWindow_; }
  // The application title: the program file's base name.
  const std::string& AppTitle() const { return appTitle_; }

  int ShowMessage(const std::string& text, unsigned style) override;
  void BeginWait() override;
  void EndWait() override;
  int ProfileInt(const char* section, const char* key, int fallback) override;
  std::string ProfileString(const char* section, const char* key, const char* fallback,
                            size_t bufferSize) override;
  void WriteProfileString(const char* section, const char* key, const std::string& value) override;
  bool ProgramPath(std::string* path) override;
  bool PathExists(const std::string& path) override;
  std::string FullPath(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool ReadFileBytes(const std::string& path, std::string* bytes) override;
  bool TempFolder(std::string* path) override;
  bool CreateFolder(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  void OpenFolder(const std::string& path) override;
  uint32_t TickCount() override;
  void Sleep(uint32_t milliseconds) override;
  bool LoadResourceBytes(const char* type, int id, std::vector<uint8_t>* bytes) override;

 private:
  HWND mainWindow_ = nullptr;
  std::string appTitle_;
  std::string iniName_;
  int waitDepth_ = 0;
  HCURSOR restoreCursor_ = nullptr;
};

Win32Platform& TheWin32Platform();

#endif
