// A non-owning reference to something callable, for callbacks that only
// live for the duration of one call (tile workers). Unlike std::function it
// never allocates, so passing a capturing lambda cannot fail.
#pragma once

#include <type_traits>
#include <utility>

template <typename Signature>
class TlFunctionRef;

template <typename Result, typename... Args>
class TlFunctionRef<Result(Args...)> {
public:
    TlFunctionRef() = default;

    template <typename Callable,
              typename = std::enable_if_t<!std::is_same_v<std::decay_t<Callable>, TlFunctionRef>>>
    TlFunctionRef(Callable&& callable) // implicit, like a function pointer
        : m_object(const_cast<void*>(static_cast<const void*>(&callable))),
          m_call(&Call<std::remove_reference_t<Callable>>)
    {
    }

    explicit operator bool() const { return m_call != nullptr; }
    Result operator()(Args... args) const { return m_call(m_object, std::forward<Args>(args)...); }

private:
    template <typename Callable>
    static Result Call(void* object, Args... args)
    {
        return (*static_cast<Callable*>(object))(std::forward<Args>(args)...);
    }

    void* m_object = nullptr;
    Result (*m_call)(void*, Args...) = nullptr;
};
