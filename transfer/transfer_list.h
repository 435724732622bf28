// Reading a .pfs transfer list: one file name per line, in code page 932,
// which is the device name and the host path relative to the list file's
// own folder.
//
// The list is read the way the C runtime's text mode reads it, but without
// relying on the runtime: the file is opened in binary, a CR before a LF is
// dropped, a Ctrl-Z ends the file. Lines come in pieces of at most 255 bytes
// (a longer line gives several pieces, each a line of its own); trailing
// blanks are cut and lines left empty are skipped. Leading blanks stay.
#ifndef QUILLET_TRANSFER_TRANSFER_LIST_H
#define QUILLET_TRANSFER_TRANSFER_LIST_H

#include <stdio.h>

#include <string>

// The longest piece of a line taken in one read.
constexpr size_t kListPieceBytes = 255;

class TransferListReader {
 public:
  TransferListReader() = default;
  ~TransferListReader() { Close(); }
  TransferListReader(const TransferListReader&) = delete;
  TransferListReader& operator=(const TransferListReader&) = delete;

  // False when the file (a UTF-8 path) cannot be opened for reading.
  bool Open(const std::string& path);
  // Reads an open file, which the reader closes; false for none.
  bool Open(FILE* file);
  void Close();

  // The next line that names a file; false at the end of the list.
  bool NextLine(std::string* line);

 private:
  // The next byte as text mode gives it, or EOF at the end (Ctrl-Z included).
  int NextByte();

  FILE* file_ = nullptr;
  bool ended_ = false;
  int ahead_ = EOF;        // a byte read past a CR that was not followed by LF
  bool haveAhead_ = false;
};

#endif
