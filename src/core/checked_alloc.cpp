#include "core/checked_alloc.h"

void CheckedAllocMatrix(FloatMatrix& matrix, size_t rows, size_t columns) {
  CheckedAlloc(matrix, rows);
  for (auto& row : matrix) CheckedAlloc(row, columns);
}
