// One counted COM reference, released once when its holder goes.
#pragma once
#include <unknwn.h>

namespace platform::win32 {

template <class T>
class Ref {
 public:
  Ref() = default;
  // Takes over a reference the caller already holds.
  static Ref Adopt(T* p) {
    Ref r;
    r.p_ = p;
    return r;
  }
  // Holds a reference of its own to p.
  static Ref Share(T* p) {
    if (p) p->AddRef();
    return Adopt(p);
  }
  ~Ref() {
    if (p_) p_->Release();
  }
  Ref(Ref&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  Ref& operator=(Ref&& other) noexcept {
    if (this != &other) {
      if (p_) p_->Release();
      p_ = other.p_;
      other.p_ = nullptr;
    }
    return *this;
  }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  // For a call that hands out a reference; the holder must be empty.
  T** Out() { return &p_; }
  void** OutVoid() { return reinterpret_cast<void**>(&p_); }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

}  // namespace platform::win32
