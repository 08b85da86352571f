// Pass kernels of the mixed-radix transform, included by one translation
// unit per instruction set with DftVector defined as the vector type (or
// double). Self-contained on purpose: no library templates, internal linkage.
//
// Each pass is a self-sorting (Stockham) step. With s the product of the
// radices applied so far, r this pass's radix and m = n / (s r):
//   out[k + s u + s r q] = sum_t w^(t k) W_r^(t u) in[k + s q + (n / r) t]
// for q < m, k < s, u < r, with w = exp(-2 pi i / (s r)), W_r = exp(-2 pi i / r).
// The last pass leaves the transform in natural order. Vectors run over k,
// or over q in the first pass, where s = 1.

namespace {

// The butterflies only pay off when they melt into the pass loops.
#define DFT_INLINE inline __attribute__((always_inline))

using T = DftVector;
template <class U>
constexpr int32_t kLanesOf = static_cast<int32_t>(sizeof(U) / sizeof(double));
constexpr int kLanes = kLanesOf<T>;

template <class U>
struct Cx {
  U re;
  U im;
};

typedef float HalfVector __attribute__((vector_size(sizeof(T) / 2)));

// Rows are doubles; the caller's arrays are floats, converted on the way in
// and out of the first and last pass.
template <class U>
DFT_INLINE U LoadRow(const double* p) {
  U v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}

template <class U>
DFT_INLINE U LoadRow(const float* p) {
  if constexpr (sizeof(U) == sizeof(double)) {
    return *p;
  } else {
#ifdef DFT_AVX_CONVERSIONS
    return _mm256_cvtps_pd(_mm_loadu_ps(p));
#else
    HalfVector f;
    __builtin_memcpy(&f, p, sizeof f);
    return __builtin_convertvector(f, U);
#endif
  }
}

template <class U>
DFT_INLINE void StoreRow(double* p, U v) {
  __builtin_memcpy(p, &v, sizeof v);
}

// Doubles to floats, also for a spectrum bin that is stored twice.
template <class U>
DFT_INLINE auto ToFloats(U v) {
  if constexpr (sizeof(U) == sizeof(double)) {
    return static_cast<float>(v);
  } else {
#ifdef DFT_AVX_CONVERSIONS
    return reinterpret_cast<HalfVector>(_mm256_cvtpd_ps(v));
#else
    return __builtin_convertvector(v, HalfVector);
#endif
  }
}

template <class F>
DFT_INLINE void StoreFloats(float* p, F v) {
  __builtin_memcpy(p, &v, sizeof v);
}

template <class U>
DFT_INLINE void StoreRow(float* p, U v) {
  StoreFloats(p, ToFloats(v));
}

// Lanes in reverse order, for vectors of doubles or floats; a lone value
// is its own reverse.
DFT_INLINE double Reversed(double v) { return v; }
DFT_INLINE float Reversed(float v) { return v; }
template <class V>
DFT_INLINE V Reversed(V v) {
  if constexpr (sizeof(V) / sizeof(v[0]) == 4) {
    return __builtin_shufflevector(v, v, 3, 2, 1, 0);
  } else {
    return __builtin_shufflevector(v, v, 1, 0);
  }
}

template <class U>
DFT_INLINE double Lane(U v, int lane) {
  if constexpr (sizeof(U) == sizeof(double)) {
    (void)lane;
    return v;
  } else {
    return v[lane];
  }
}

template <class U>
DFT_INLINE Cx<U> Add(Cx<U> a, Cx<U> b) { return {a.re + b.re, a.im + b.im}; }
template <class U>
DFT_INLINE Cx<U> Sub(Cx<U> a, Cx<U> b) { return {a.re - b.re, a.im - b.im}; }
template <class U>
DFT_INLINE Cx<U> Scale(Cx<U> a, double f) { return {a.re * f, a.im * f}; }
// a - i b and a + i b
template <class U>
DFT_INLINE Cx<U> MinusI(Cx<U> a, Cx<U> b) { return {a.re + b.im, a.im - b.re}; }
template <class U>
DFT_INLINE Cx<U> PlusI(Cx<U> a, Cx<U> b) { return {a.re - b.im, a.im + b.re}; }
// a * (c - i s)
template <class U>
DFT_INLINE Cx<U> Twiddle(Cx<U> a, U c, U s) { return {a.re * c + a.im * s, a.im * c - a.re * s}; }
template <class U>
DFT_INLINE Cx<U> TwiddleConst(Cx<U> a, double c, double s) { return {a.re * c + a.im * s, a.im * c - a.re * s}; }

constexpr double kSin60 = 0.86602540378443864676;
constexpr double kCos72 = 0.30901699437494742410;
constexpr double kCos144 = -0.80901699437494742410;
constexpr double kSin72 = 0.95105651629515357212;
constexpr double kSin144 = 0.58778525229247312917;
constexpr double kHalfSqrt2 = 0.70710678118654752440;
constexpr double kCos36 = 0.80901699437494742410;
constexpr double kSin36 = 0.58778525229247312917;

template <class U>
DFT_INLINE void Butterfly2(Cx<U>* a) {
  const Cx<U> t = a[0];
  a[0] = Add(t, a[1]);
  a[1] = Sub(t, a[1]);
}

template <class U>
DFT_INLINE void Butterfly3(Cx<U>* a) {
  const Cx<U> t = Add(a[1], a[2]);
  const Cx<U> m = Sub(a[0], Scale(t, 0.5));
  const Cx<U> d = Scale(Sub(a[1], a[2]), kSin60);
  a[0] = Add(a[0], t);
  a[1] = MinusI(m, d);
  a[2] = PlusI(m, d);
}

template <class U>
DFT_INLINE void Butterfly4(Cx<U>& a0, Cx<U>& a1, Cx<U>& a2, Cx<U>& a3) {
  const Cx<U> t0 = Add(a0, a2), t1 = Sub(a0, a2), t2 = Add(a1, a3), t3 = Sub(a1, a3);
  a0 = Add(t0, t2);
  a2 = Sub(t0, t2);
  a1 = MinusI(t1, t3);
  a3 = PlusI(t1, t3);
}

template <class U>
DFT_INLINE void Butterfly5(Cx<U>& a0, Cx<U>& a1, Cx<U>& a2, Cx<U>& a3, Cx<U>& a4) {
  const Cx<U> t1 = Add(a1, a4), t2 = Add(a2, a3), d1 = Sub(a1, a4), d2 = Sub(a2, a3);
  const Cx<U> m1 = Add(a0, Add(Scale(t1, kCos72), Scale(t2, kCos144)));
  const Cx<U> m2 = Add(a0, Add(Scale(t1, kCos144), Scale(t2, kCos72)));
  const Cx<U> n1 = Add(Scale(d1, kSin72), Scale(d2, kSin144));
  const Cx<U> n2 = Sub(Scale(d1, kSin144), Scale(d2, kSin72));
  a0 = Add(a0, Add(t1, t2));
  a1 = MinusI(m1, n1);
  a4 = PlusI(m1, n1);
  a2 = MinusI(m2, n2);
  a3 = PlusI(m2, n2);
}

// Radix 8 from two radix-4 butterflies over the even and odd inputs.
template <class U>
DFT_INLINE void Butterfly8(Cx<U>* a) {
  Cx<U> e0 = a[0], e1 = a[2], e2 = a[4], e3 = a[6];
  Cx<U> o0 = a[1], o1 = a[3], o2 = a[5], o3 = a[7];
  Butterfly4(e0, e1, e2, e3);
  Butterfly4(o0, o1, o2, o3);
  o1 = TwiddleConst(o1, kHalfSqrt2, kHalfSqrt2);
  o2 = {o2.im, -o2.re};
  o3 = TwiddleConst(o3, -kHalfSqrt2, kHalfSqrt2);
  a[0] = Add(e0, o0);
  a[4] = Sub(e0, o0);
  a[1] = Add(e1, o1);
  a[5] = Sub(e1, o1);
  a[2] = Add(e2, o2);
  a[6] = Sub(e2, o2);
  a[3] = Add(e3, o3);
  a[7] = Sub(e3, o3);
}

// Radix 10 from two radix-5 butterflies over the even and odd inputs.
template <class U>
DFT_INLINE void Butterfly10(Cx<U>* a) {
  Cx<U> e0 = a[0], e1 = a[2], e2 = a[4], e3 = a[6], e4 = a[8];
  Cx<U> o0 = a[1], o1 = a[3], o2 = a[5], o3 = a[7], o4 = a[9];
  Butterfly5(e0, e1, e2, e3, e4);
  Butterfly5(o0, o1, o2, o3, o4);
  o1 = TwiddleConst(o1, kCos36, kSin36);
  o2 = TwiddleConst(o2, kCos72, kSin72);
  o3 = TwiddleConst(o3, -kCos72, kSin72);
  o4 = TwiddleConst(o4, -kCos36, kSin36);
  a[0] = Add(e0, o0);
  a[5] = Sub(e0, o0);
  a[1] = Add(e1, o1);
  a[6] = Sub(e1, o1);
  a[2] = Add(e2, o2);
  a[7] = Sub(e2, o2);
  a[3] = Add(e3, o3);
  a[8] = Sub(e3, o3);
  a[4] = Add(e4, o4);
  a[9] = Sub(e4, o4);
}

template <int R, class U>
DFT_INLINE void Butterfly(Cx<U>* a) {
  if constexpr (R == 2) {
    Butterfly2(a);
  } else if constexpr (R == 3) {
    Butterfly3(a);
  } else if constexpr (R == 4) {
    Butterfly4(a[0], a[1], a[2], a[3]);
  } else if constexpr (R == 5) {
    Butterfly5(a[0], a[1], a[2], a[3], a[4]);
  } else if constexpr (R == 8) {
    Butterfly8(a);
  } else {
    Butterfly10(a);
  }
}

template <class In, class Out>
struct PassShape {
  int32_t n;
  int32_t s;  // product of the radices applied so far
  int32_t m;  // product of the radices still to come
  const double* twCos;
  const double* twSin;
  const In* inRe;
  const In* inIm;
  Out* outRe;
  Out* outIm;
};

// Butterflies for k in [kBegin, kEnd), U lanes at a time.
template <int R, class U, class In, class Out>
DFT_INLINE void PassOverK(const PassShape<In, Out>& p, int32_t kBegin, int32_t kEnd) {
  constexpr int32_t lanes = kLanesOf<U>;
  const int32_t stride = p.n / R;
  for (int32_t q = 0; q < p.m; ++q) {
    const int32_t inBase = p.s * q;
    const int32_t outBase = p.s * R * q;
    for (int32_t k = kBegin; k + lanes <= kEnd; k += lanes) {
      Cx<U> a[R];
      for (int t = 0; t < R; ++t)
        a[t] = {LoadRow<U>(p.inRe + inBase + k + stride * t), LoadRow<U>(p.inIm + inBase + k + stride * t)};
      for (int t = 1; t < R; ++t)
        a[t] = Twiddle(a[t], LoadRow<U>(p.twCos + (t - 1) * p.s + k), LoadRow<U>(p.twSin + (t - 1) * p.s + k));
      Butterfly<R>(a);
      for (int u = 0; u < R; ++u) {
        StoreRow(p.outRe + outBase + k + p.s * u, a[u].re);
        StoreRow(p.outIm + outBase + k + p.s * u, a[u].im);
      }
    }
  }
}

// Writes out[R l + u] = b[u] lane l for every lane: the vectors of one
// first-pass step transposed, with whole-register transposes where the radix
// allows them.
template <int R, class U, class Out>
DFT_INLINE void StoreTransposedRow(const U* b, Out* out) {
  if constexpr (kLanes == 4 && R % 4 == 0) {
    for (int u0 = 0; u0 < R; u0 += 4) {
      const U t0 = __builtin_shufflevector(b[u0], b[u0 + 1], 0, 4, 2, 6);
      const U t1 = __builtin_shufflevector(b[u0], b[u0 + 1], 1, 5, 3, 7);
      const U t2 = __builtin_shufflevector(b[u0 + 2], b[u0 + 3], 0, 4, 2, 6);
      const U t3 = __builtin_shufflevector(b[u0 + 2], b[u0 + 3], 1, 5, 3, 7);
      StoreRow(out + u0, __builtin_shufflevector(t0, t2, 0, 1, 4, 5));
      StoreRow(out + R + u0, __builtin_shufflevector(t1, t3, 0, 1, 4, 5));
      StoreRow(out + 2 * R + u0, __builtin_shufflevector(t0, t2, 2, 3, 6, 7));
      StoreRow(out + 3 * R + u0, __builtin_shufflevector(t1, t3, 2, 3, 6, 7));
    }
  } else if constexpr (kLanes == 2 && R % 2 == 0) {
    for (int u0 = 0; u0 < R; u0 += 2) {
      StoreRow(out + u0, __builtin_shufflevector(b[u0], b[u0 + 1], 0, 2));
      StoreRow(out + R + u0, __builtin_shufflevector(b[u0], b[u0 + 1], 1, 3));
    }
  } else {
    for (int l = 0; l < kLanes; ++l)
      for (int u = 0; u < R; ++u) out[R * l + u] = Lane(b[u], l);
  }
}

template <int R, class Out>
DFT_INLINE void StoreTransposed(const Cx<T>* a, Out* outRe, Out* outIm) {
  T re[R], im[R];
  for (int u = 0; u < R; ++u) {
    re[u] = a[u].re;
    im[u] = a[u].im;
  }
  StoreTransposedRow<R, T, Out>(re, outRe);
  StoreTransposedRow<R, T, Out>(im, outIm);
}

// The first pass (s = 1, no twiddles), vectors over q; the outputs of one
// vector land interleaved by the radix, so they are written lane by lane.
template <int R, class In, class Out>
DFT_INLINE void FirstPass(const PassShape<In, Out>& p) {
  const int32_t m = p.m;
  int32_t q = 0;
  for (; q + kLanes <= m; q += kLanes) {
    Cx<T> a[R];
    for (int t = 0; t < R; ++t) a[t] = {LoadRow<T>(p.inRe + q + m * t), LoadRow<T>(p.inIm + q + m * t)};
    Butterfly<R>(a);
    StoreTransposed<R>(a, p.outRe + R * q, p.outIm + R * q);
  }
  for (; q < m; ++q) {
    Cx<double> a[R];
    for (int t = 0; t < R; ++t) a[t] = {p.inRe[q + m * t], p.inIm[q + m * t]};
    Butterfly<R>(a);
    for (int u = 0; u < R; ++u) {
      p.outRe[R * q + u] = static_cast<Out>(a[u].re);
      p.outIm[R * q + u] = static_cast<Out>(a[u].im);
    }
  }
}

template <int R, class In, class Out>
DFT_INLINE void RadixPass(const PassShape<In, Out>& p) {
  if (p.s == 1) {
    FirstPass<R>(p);
  } else if (p.s >= kLanes) {
    const int32_t vectorEnd = p.s - p.s % kLanes;
    PassOverK<R, T>(p, 0, vectorEnd);
    PassOverK<R, double>(p, vectorEnd, p.s);
  } else {
    PassOverK<R, double>(p, 0, p.s);
  }
}

// Any odd radix: pair sums and differences of the inputs j and r - j,
// then one cosine and one sine sum per output pair.
template <class In, class Out>
void GeneralOddPass(const PassShape<In, Out>& p, int32_t r, const DftPassPlan& plan) {
  const int32_t half = (r - 1) / 2;
  const int32_t stride = p.n / r;
  for (int32_t j = 0; j < r; ++j) {
    const double angle = 6.283185307179586477 * j / r;
    plan.radixCos[j] = __builtin_cos(angle);
    plan.radixSin[j] = __builtin_sin(angle);
  }
  for (int32_t q = 0; q < p.m; ++q) {
    for (int32_t k = 0; k < p.s; ++k) {
      const int32_t in = k + p.s * q;
      const double x0Re = p.inRe[in], x0Im = p.inIm[in];
      double sumRe = x0Re, sumIm = x0Im;
      for (int32_t t = 1; t <= half; ++t) {
        Cx<double> a = {p.inRe[in + stride * t], p.inIm[in + stride * t]};
        Cx<double> b = {p.inRe[in + stride * (r - t)], p.inIm[in + stride * (r - t)]};
        a = Twiddle(a, p.twCos[(t - 1) * p.s + k], p.twSin[(t - 1) * p.s + k]);
        b = Twiddle(b, p.twCos[(r - t - 1) * p.s + k], p.twSin[(r - t - 1) * p.s + k]);
        plan.oddSumRe[t] = a.re + b.re;
        plan.oddSumIm[t] = a.im + b.im;
        plan.oddDiffRe[t] = a.re - b.re;
        plan.oddDiffIm[t] = a.im - b.im;
        sumRe += a.re + b.re;
        sumIm += a.im + b.im;
      }
      const int32_t out = k + p.s * r * q;
      p.outRe[out] = static_cast<Out>(sumRe);
      p.outIm[out] = static_cast<Out>(sumIm);
      for (int32_t u = 1; u <= half; ++u) {
        double aRe = x0Re, aIm = x0Im, bRe = 0.0, bIm = 0.0;
        int32_t index = 0;
        for (int32_t t = 1; t <= half; ++t) {
          index += u;
          if (index >= r) index -= r;
          aRe += plan.oddSumRe[t] * plan.radixCos[index];
          aIm += plan.oddSumIm[t] * plan.radixCos[index];
          bRe += plan.oddDiffRe[t] * plan.radixSin[index];
          bIm += plan.oddDiffIm[t] * plan.radixSin[index];
        }
        // b_u = A - i B, b_(r-u) = A + i B
        p.outRe[out + p.s * u] = static_cast<Out>(aRe + bIm);
        p.outIm[out + p.s * u] = static_cast<Out>(aIm - bRe);
        p.outRe[out + p.s * (r - u)] = static_cast<Out>(aRe - bIm);
        p.outIm[out + p.s * (r - u)] = static_cast<Out>(aIm + bRe);
      }
    }
  }
}

template <class In, class Out>
void RunPass(int32_t r, const PassShape<In, Out>& p, const DftPassPlan& plan) {
  switch (r) {
    case 2: RadixPass<2>(p); break;
    case 3: RadixPass<3>(p); break;
    case 4: RadixPass<4>(p); break;
    case 5: RadixPass<5>(p); break;
    case 8: RadixPass<8>(p); break;
    case 10: RadixPass<10>(p); break;
    default: GeneralOddPass(p, r, plan); break;
  }
}

template <class In, class Out>
void RunPassesBetween(const DftPassPlan& plan, const In* inRe, const In* inIm, Out* outRe, Out* outIm) {
  const int32_t n = plan.n;
  const int count = plan.factorCount;
  if (count == 1) {
    // One pass reads and writes the caller's arrays, which may be the same:
    // stage the input in row A first. Length 1 is its own transform.
    for (int32_t j = 0; j < n; ++j) {
      plan.aRe[j] = inRe[j];
      plan.aIm[j] = inIm[j];
    }
    if (plan.actual[1] == 1) {
      outRe[0] = static_cast<Out>(plan.aRe[0]);
      outIm[0] = static_cast<Out>(plan.aIm[0]);
      return;
    }
    const PassShape<double, Out> p = {n, 1, plan.remain[1], plan.trigCos, plan.trigSin,
                                      plan.aRe, plan.aIm, outRe, outIm};
    RunPass(plan.actual[1], p, plan);
    return;
  }
  // First pass: the caller's input to row B; then rows alternate; the last
  // pass writes the caller's output.
  const PassShape<In, double> first = {n, 1, plan.remain[1], plan.trigCos, plan.trigSin,
                                       inRe, inIm, plan.bRe, plan.bIm};
  RunPass(plan.actual[1], first, plan);
  int32_t twiddleOffset = plan.actual[1] - 1;
  bool inB = true;
  for (int i = 2; i < count; ++i) {
    const PassShape<double, double> p = {n, plan.sofar[i], plan.remain[i], plan.trigCos + twiddleOffset,
                                         plan.trigSin + twiddleOffset, inB ? plan.bRe : plan.aRe,
                                         inB ? plan.bIm : plan.aIm, inB ? plan.aRe : plan.bRe,
                                         inB ? plan.aIm : plan.bIm};
    RunPass(plan.actual[i], p, plan);
    twiddleOffset += (plan.actual[i] - 1) * plan.sofar[i];
    inB = !inB;
  }
  const PassShape<double, Out> last = {n, plan.sofar[count], plan.remain[count], plan.trigCos + twiddleOffset,
                                       plan.trigSin + twiddleOffset, inB ? plan.bRe : plan.aRe,
                                       inB ? plan.bIm : plan.aIm, outRe, outIm};
  RunPass(plan.actual[count], last, plan);
}

// Bins k .. k + lanes - 1 (all within 1 .. h - 1) of the spectrum of 2 h
// real samples from the transform Z of the h packed pairs: with
// E = (Z[k] + conj Z[h - k]) / 2, O = -i (Z[k] - conj Z[h - k]) / 2 and
// w = exp(-i pi / h), X[k] = E + w^k O. The spectrum keeps -Im X, and its
// bins 2 h - k mirror bins k.
template <class U>
DFT_INLINE void SplitBins(const DftPassPlan& plan, int32_t k) {
  constexpr int32_t lanes = kLanesOf<U>;
  const int32_t h = plan.n;
  const U aRe = LoadRow<U>(plan.halfRe + k), aIm = LoadRow<U>(plan.halfIm + k);
  const U bRe = Reversed(LoadRow<U>(plan.halfRe + h - k - lanes + 1));
  const U bIm = Reversed(LoadRow<U>(plan.halfIm + h - k - lanes + 1));
  const U eRe = 0.5 * (aRe + bRe), eIm = 0.5 * (aIm - bIm);
  const U oRe = 0.5 * (aIm + bIm), oIm = -0.5 * (aRe - bRe);
  const U c = LoadRow<U>(plan.realCos + k), s = LoadRow<U>(plan.realSin + k);
  const U xRe = eRe + oRe * c + oIm * s;
  const U xIm = eIm + oIm * c - oRe * s;
  const auto fRe = ToFloats(xRe), fIm = ToFloats(xIm);
  StoreFloats(plan.outRe + k, fRe);
  StoreFloats(plan.outIm + k, -fIm);
  StoreFloats(plan.outRe + 2 * h - k - lanes + 1, Reversed(fRe));
  StoreFloats(plan.outIm + 2 * h - k - lanes + 1, Reversed(fIm));
}

void SplitSpectrum(const DftPassPlan& shared) {
  // A copy the float stores cannot touch, so its pointers stay in registers.
  const DftPassPlan plan = shared;
  const int32_t h = plan.n;
  const double z0Re = plan.halfRe[0], z0Im = plan.halfIm[0];
  plan.outRe[0] = static_cast<float>(z0Re + z0Im);
  plan.outIm[0] = 0.0f;
  plan.outRe[h] = static_cast<float>(z0Re - z0Im);
  plan.outIm[h] = 0.0f;
  int32_t k = 1;
  for (; k + kLanes <= h; k += kLanes) SplitBins<T>(plan, k);
  for (; k < h; ++k) SplitBins<double>(plan, k);
}

// Input points k .. k + lanes - 1 (within 1 .. h - 1) of the half-length
// transform that gives the wave of 2 h bins. Only the real part of the wave
// is kept, so the bins C[k] = re[k] - i im[k] may be replaced by their
// conjugate-symmetric part H[k] = (C[k] + conj C[2 h - k]) / 2, whose wave is
// real. Then y[2m] + i y[2m + 1] = sum over k < h of
// (H[k] + H[k + h] + i w^-k (H[k] - H[k + h])) exp(+i pi 2 mk / h); it runs
// as the conjugate of the forward transform of the conjugate.
template <class U>
DFT_INLINE void JoinBins(const DftPassPlan& plan, int32_t k) {
  constexpr int32_t lanes = kLanesOf<U>;
  const int32_t h = plan.n;
  const U pRe = 0.5 * (LoadRow<U>(plan.inRe + k) + Reversed(LoadRow<U>(plan.inRe + 2 * h - k - lanes + 1)));
  const U pIm = 0.5 * (Reversed(LoadRow<U>(plan.inIm + 2 * h - k - lanes + 1)) - LoadRow<U>(plan.inIm + k));
  const U qRe = 0.5 * (LoadRow<U>(plan.inRe + h + k) + Reversed(LoadRow<U>(plan.inRe + h - k - lanes + 1)));
  const U qIm = 0.5 * (Reversed(LoadRow<U>(plan.inIm + h - k - lanes + 1)) - LoadRow<U>(plan.inIm + h + k));
  const U dRe = pRe - qRe, dIm = pIm - qIm;
  const U c = LoadRow<U>(plan.realCos + k), s = LoadRow<U>(plan.realSin + k);
  const U rRe = dRe * c - dIm * s, rIm = dRe * s + dIm * c;  // w^-k d
  StoreRow(plan.halfRe + k, pRe + qRe - rIm);
  StoreRow(plan.halfIm + k, -(pIm + qIm + rRe));
}

void JoinSpectrum(const DftPassPlan& shared) {
  const DftPassPlan plan = shared;  // as in SplitSpectrum
  const int32_t h = plan.n;
  // Bins 0 and h are their own mirrors: H[0] = re[0], H[h] = re[h].
  const double re0 = plan.inRe[0], reH = plan.inRe[h];
  plan.halfRe[0] = re0 + reH;
  plan.halfIm[0] = reH - re0;
  int32_t k = 1;
  for (; k + kLanes <= h; k += kLanes) JoinBins<T>(plan, k);
  for (; k < h; ++k) JoinBins<double>(plan, k);
}

void RunPasses(const DftPassPlan& plan) {
  const int32_t h = plan.n;
  switch (plan.form) {
    case DftForm::Complex:
      RunPassesBetween(plan, plan.inRe, plan.inIm, plan.outRe, plan.outIm);
      break;
    case DftForm::Spectrum:
      for (int32_t j = 0; j < h; ++j) {
        plan.packRe[j] = plan.inRe[2 * j];
        plan.packIm[j] = plan.inRe[2 * j + 1];
      }
      RunPassesBetween(plan, plan.packRe, plan.packIm, plan.halfRe, plan.halfIm);
      SplitSpectrum(plan);
      break;
    case DftForm::Wave:
      JoinSpectrum(plan);
      RunPassesBetween(plan, plan.halfRe, plan.halfIm, plan.packRe, plan.packIm);
      for (int32_t m = 0; m < h; ++m) {
        plan.outRe[2 * m] = plan.packRe[m];
        plan.outRe[2 * m + 1] = -plan.packIm[m];
      }
      break;
  }
}

#undef DFT_INLINE

}  // namespace
