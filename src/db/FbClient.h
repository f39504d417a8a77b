#pragma once

#include <firebird/Interface.h>

// The Firebird client library, loaded at run time so that a machine without it gets a
// message instead of a loader failure. One instance for the process.
class FbClient
{
public:
    // Throws DbError when the library cannot be loaded.
    static FbClient& instance();

    Firebird::IMaster* master() const { return master_; }
    Firebird::IUtil* util() const { return util_; }
    Firebird::IProvider* provider() const { return provider_; }

    FbClient(const FbClient&) = delete;
    FbClient& operator=(const FbClient&) = delete;

private:
    FbClient();
    ~FbClient();

    Firebird::IMaster* master_ = nullptr;
    Firebird::IUtil* util_ = nullptr;
    Firebird::IProvider* provider_ = nullptr;
};

// A status vector that throws DbError, with Firebird's formatted message, from any call that
// fails. Pass it to every interface call of the client library.
class FbStatus : public Firebird::BaseStatusWrapper<FbStatus>
{
public:
    FbStatus();
    ~FbStatus();
    FbStatus(const FbStatus&) = delete;
    FbStatus& operator=(const FbStatus&) = delete;

    static void checkException(FbStatus* status);
};

// Owns one reference of a client-library interface and releases it.
template <typename Interface> class FbRef
{
public:
    FbRef() = default;
    explicit FbRef(Interface* p) : p_(p) {}
    ~FbRef() { reset(); }
    FbRef(FbRef&& other) noexcept : p_(other.release()) {}
    FbRef& operator=(FbRef&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    FbRef(const FbRef&) = delete;
    FbRef& operator=(const FbRef&) = delete;

    Interface* get() const { return p_; }
    Interface* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // Gives up ownership, for calls such as detach() or commit() that release on success.
    Interface* release()
    {
        Interface* p = p_;
        p_ = nullptr;
        return p;
    }
    void reset(Interface* p = nullptr)
    {
        if (p_)
            p_->release();
        p_ = p;
    }

private:
    Interface* p_ = nullptr;
};

// Owns a parameter-block builder (the builder is disposed, not released).
class FbXpb
{
public:
    explicit FbXpb(unsigned kind);
    ~FbXpb();
    FbXpb(const FbXpb&) = delete;
    FbXpb& operator=(const FbXpb&) = delete;

    FbXpb& tag(unsigned char tag);
    FbXpb& integer(unsigned char tag, int value);
    FbXpb& string(unsigned char tag, const char* value);

    const unsigned char* buffer() const;
    unsigned length() const;

private:
    Firebird::IXpbBuilder* builder_;
};
