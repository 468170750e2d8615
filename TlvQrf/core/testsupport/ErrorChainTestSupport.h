// Reading the error chains a failure leaves: whether a layer's text stands
// anywhere in them, and whether their innermost cause is the one a filter
// gives when asked directly.
#pragma once

#include "kelvra/KelvraError.h"

#include <gtest/gtest.h>

#include <string>

namespace error_chain_test {

// Whether a text error of `chain`, or of anything it wraps, holds `part`.
inline bool ChainMentions(const IKelvraError* chain, const std::string& part)
{
    for (const IKelvraError* error = chain; error != nullptr; error = error->GetNext()) {
        if (error->GetCode() == kKelvraTextError && std::string(error->GetText()).find(part) != std::string::npos)
            return true;
        if (ChainMentions(error->GetInner(), part))
            return true;
    }
    return false;
}

// The first text error of `chain`, depth first; null when there is none.
inline const IKelvraError* FirstText(const IKelvraError* chain)
{
    for (const IKelvraError* error = chain; error != nullptr; error = error->GetNext()) {
        if (const IKelvraError* inner = FirstText(error->GetInner()))
            return inner;
        if (error->GetCode() == kKelvraTextError)
            return error;
    }
    return nullptr;
}

// `chain`'s innermost cause is `expected`'s: same category, code and tag;
// for a cause told only in words, `chain` holds those words.
inline ::testing::AssertionResult SameCause(const IKelvraError* chain, const IKelvraError* expected)
{
    const IKelvraError* cause = chain != nullptr ? chain->FindCause() : nullptr;
    const IKelvraError* wanted = expected != nullptr ? expected->FindCause() : nullptr;
    const IKelvraError* words = expected != nullptr ? FirstText(expected) : nullptr;
    if (cause == nullptr && wanted == nullptr && words != nullptr) {
        if (ChainMentions(chain, words->GetText()))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "no \"" << words->GetText() << "\" in the chain";
    }
    if (cause == nullptr || wanted == nullptr)
        return ::testing::AssertionFailure() << "no cause: chain " << (cause != nullptr) << ", expected "
                                             << (wanted != nullptr);
    if (cause->GetCategory() != wanted->GetCategory() || cause->GetCode() != wanted->GetCode() ||
        cause->GetTag() != wanted->GetTag())
        return ::testing::AssertionFailure() << "cause " << cause->GetCategory() << "/" << cause->GetCode()
                                             << " instead of " << wanted->GetCategory() << "/" << wanted->GetCode();
    return ::testing::AssertionSuccess();
}

} // namespace error_chain_test
