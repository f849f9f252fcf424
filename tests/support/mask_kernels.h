// Running a test once per byte-mask kernel the CPU has.
#pragma once

#include <vector>

#include "platform/byte_masks.h"

namespace codeloom {

inline std::vector<MaskKernel> kernelsToTest() {
  std::vector<MaskKernel> kernels;
  for (MaskKernel kernel : {MaskKernel::Scalar, MaskKernel::Sse2, MaskKernel::Avx2})
    if (maskKernelAvailable(kernel)) kernels.push_back(kernel);
  return kernels;
}

inline const char* kernelName(MaskKernel kernel) {
  switch (kernel) {
    case MaskKernel::Scalar: return "scalar";
    case MaskKernel::Sse2: return "SSE2";
    case MaskKernel::Avx2: return "AVX2";
    case MaskKernel::Best: break;
  }
  return "best";
}

// Uses a kernel for one scope, then the best again.
struct UsingKernel {
  explicit UsingKernel(MaskKernel kernel) { useMaskKernel(kernel); }
  ~UsingKernel() { useMaskKernel(MaskKernel::Best); }
  UsingKernel(const UsingKernel&) = delete;
  UsingKernel& operator=(const UsingKernel&) = delete;
};

}  // namespace codeloom
