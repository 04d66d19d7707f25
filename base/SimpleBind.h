#pragma once

// A member-function call packed into an object, so that one thread can hand
// it to another (see CUIThreadWindow).
class ISimpleBind {
 public:
  virtual void Invoke() = 0;

 protected:
  ~ISimpleBind() = default;
};

template <typename T, typename P, typename R>
class mf_bind_t : public ISimpleBind {
 public:
  using Method = R (T::*)();
  mf_bind_t(Method method, P object) : method_(method), object_(object) {}
  void Invoke() override { (object_->*method_)(); }

 private:
  Method method_;
  P object_;
};

template <typename T, typename P, typename R, typename A>
class mf_bind_t_1 : public ISimpleBind {
 public:
  using Method = R (T::*)(A);
  mf_bind_t_1(Method method, P object, A argument)
      : method_(method), object_(object), argument_(argument) {}
  void Invoke() override { (object_->*method_)(argument_); }

 private:
  Method method_;
  P object_;
  A argument_;
};
