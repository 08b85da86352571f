#pragma once
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

#include "core/fatal_error.h"

// Every working buffer is released and allocated again zero-filled through
// these; running out of memory ends the program (fatal 3) instead of leaving
// a half-made table behind.
template <typename T>
void CheckedAlloc(std::vector<T>& buffer, size_t count) {
  std::vector<T>().swap(buffer);
  if (count == 0) return;
  if (count > std::numeric_limits<size_t>::max() / sizeof(T) / 2) FatalError(kFatalOutOfMemory);
  try {
    buffer.assign(count, T{});
  } catch (const std::bad_alloc&) {
    FatalError(kFatalOutOfMemory);
  } catch (const std::length_error&) {
    FatalError(kFatalOutOfMemory);
  }
}

using FloatMatrix = std::vector<std::vector<float>>;

// Row-count rows of column-count zero floats.
void CheckedAllocMatrix(FloatMatrix& matrix, size_t rows, size_t columns);
