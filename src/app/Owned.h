// Ownership of an object whose type lives in a layer above the context: the
// layer that creates the object hands over the way to delete it, so that the
// context can release it without knowing the type.
#pragma once

#include <utility>

namespace tv {

template <typename T>
class Owned {
public:
    using Deleter = void (*)(T*);

    Owned() = default;
    Owned(T* object, Deleter deleter) : object_(object), deleter_(deleter) {}
    ~Owned() { reset(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept
        : object_(std::exchange(other.object_, nullptr)), deleter_(other.deleter_) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
            deleter_ = other.deleter_;
        }
        return *this;
    }

    void reset() {
        if (object_ != nullptr && deleter_ != nullptr) deleter_(object_);
        object_ = nullptr;
    }
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
    Deleter deleter_ = nullptr;
};

// Creates an object of type U (T or a class derived from it) owned as a T. Called
// where U is a complete type.
template <typename T, typename U = T, typename... Args>
Owned<T> MakeOwned(Args&&... args) {
    return Owned<T>(new U(std::forward<Args>(args)...), [](T* object) { delete static_cast<U*>(object); });
}

}  // namespace tv
