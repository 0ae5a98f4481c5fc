#pragma once

#include <cstdint>

#include "core/parameterRecord.h"

// The byte buffer of string-kind and chunk-kind parameters: dataLength bytes
// from malloc, owned by the record. Other kinds carry no buffer.

// Gives a string or chunk parameter dataLength zero bytes. False when they
// cannot be allocated; other kinds and empty buffers need nothing.
bool allocateParameterData(parameterRecord& parameter);

// Frees the buffer of a string or chunk parameter.
void releaseParameterData(parameterRecord& parameter);

// Copies the whole buffer to destination and returns its length; 0 and
// nothing copied when there is no buffer or no destination.
int32_t copyParameterData(const parameterRecord& parameter, uint8_t* destination);

// Replaces the buffer's contents, its size unchanged. A string takes the
// source with strncpy semantics (a null source clears it); a chunk takes
// exactly dataLength bytes. False for a string or chunk without a buffer, a
// chunk without a source, or a negative length; other kinds change nothing.
bool replaceParameterData(parameterRecord& parameter, const uint8_t* source);
