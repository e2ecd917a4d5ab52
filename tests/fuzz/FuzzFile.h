#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// The tag readers work on files, so every fuzz input becomes the contents of one scratch file
// (in a per-process folder under the temporary folder, removed at exit).
namespace FuzzFile {

// Writes the input to the scratch file and returns its path.
QString Write(const uint8_t* data, size_t size);
QByteArray Read(const QString& path);

// Stops the run with a message when a property of the code under test does not hold, so that
// libFuzzer keeps the input as a crash.
[[noreturn]] void Fail(const char* what);

} // namespace FuzzFile
