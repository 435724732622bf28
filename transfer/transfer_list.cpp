#include "transfer/transfer_list.h"

#include "app/path_util.h"
#include "app/platform.h"

namespace {
const int kCtrlZ = 0x1a;
}

bool TransferListReader::Open(const std::string& path) {
  return Open(ThePlatform().OpenForReading(path));
}

bool TransferListReader::Open(FILE* file) {
  Close();
  file_ = file;
  return file_ != nullptr;
}

void TransferListReader::Close() {
  if (file_) fclose(file_);
  file_ = nullptr;
  ended_ = false;
  haveAhead_ = false;
}

int TransferListReader::NextByte() {
  if (ended_ || !file_) return EOF;
  int c;
  if (haveAhead_) {
    haveAhead_ = false;
    c = ahead_;
  } else {
    c = getc(file_);
  }
  if (c == EOF || c == kCtrlZ) {
    ended_ = true;
    return EOF;
  }
  if (c == '\r') {
    int next = getc(file_);
    if (next == '\n') return '\n';
    // A lone CR stays; the byte after it is handed out next (it may be the end).
    ahead_ = next;
    haveAhead_ = true;
  }
  return c;
}

bool TransferListReader::NextLine(std::string* line) {
  for (;;) {
    std::string piece;
    while (piece.size() < kListPieceBytes) {
      int c = NextByte();
      if (c == EOF) break;
      piece.push_back(static_cast<char>(c));
      if (c == '\n') break;
    }
    if (piece.empty()) return false;
    // A zero byte ends the text of the piece, as it ends a C string.
    size_t zero = piece.find('\0');
    if (zero != std::string::npos) piece.resize(zero);
    // No trail byte of a double-byte character is a blank, so cutting from
    // the end byte by byte is safe.
    while (!piece.empty() && IsBlank(static_cast<unsigned char>(piece.back()))) piece.pop_back();
    if (!piece.empty()) {
      *line = piece;
      return true;
    }
  }
}
