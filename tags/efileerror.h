#pragma once

// Errors of the file layer. Only the TTntFileStream constructor and its buffer reads and writes
// raise them; the tag code catches them and answers false.

#include <stdexcept>
#include <string>

// A file could not be opened: "Cannot open file \"<absolute path>\". <system reason>".
class EFOpenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file could not be created: "Cannot create file \"<absolute path>\". <system reason>".
class EFCreateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A read returned fewer bytes than the caller required.
class EReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A write, truncation or flush failed or was short.
class EWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
