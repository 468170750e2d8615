#include "kelvra/KelvraError.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr KelvraTag kMixr = KelvraFourCC('M', 'i', 'x', 'r');
constexpr KelvraTag kFPrc = KelvraFourCC('F', 'P', 'r', 'c');
constexpr KelvraTag kOuter = KelvraFourCC('O', 'u', 't', 'r');

struct ReleaseChain {
    void operator()(IKelvraError* chain) const { IKelvraError::Release(chain); }
};
using Chain = std::unique_ptr<IKelvraError, ReleaseChain>;

IKelvraError* Coded(IKelvraError* chain, long code)
{
    return IKelvraError::Add(chain, kMixr, 10, kKelvraCategoryKelvra, code);
}

IKelvraError* Text(IKelvraError* chain, const char* text)
{
    return IKelvraError::Add(chain, kMixr, 20, text);
}

IKelvraError* Wrap(IKelvraError* chain, IKelvraError* inner)
{
    return IKelvraError::AddWorker(chain, kOuter, 30, inner);
}

// The codes along a chain's next links, wrappers included (their code is 0).
std::vector<long> CodesOf(const IKelvraError* chain)
{
    std::vector<long> codes;
    for (; chain; chain = chain->GetNext())
        codes.push_back(chain->GetCode());
    return codes;
}

// Every chain a test builds is released by the fixture, and every error must
// be freed by then.
class KelvraErrorChain : public ::testing::Test {
protected:
    void SetUp() override { m_liveBefore = IKelvraError::LiveCount(); }
    void TearDown() override { EXPECT_EQ(m_liveBefore, IKelvraError::LiveCount()); }

private:
    long m_liveBefore = 0;
};

TEST(KelvraErrorTag, FourCCPutsTheFirstCharacterHighest)
{
    EXPECT_EQ(0x4D697872u, kMixr);
    EXPECT_EQ(0x4C434820u, KelvraFourCC('L', 'C', 'H', ' '));
}

TEST_F(KelvraErrorChain, CodeFormOnNullChainMakesAHeadWithItsFields)
{
    Chain error(IKelvraError::Add(nullptr, kFPrc, 1234, kKelvraCategoryApp, kKelvraOutOfMemory));
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(kFPrc, error->GetTag());
    EXPECT_EQ(1234, error->GetLine());
    EXPECT_EQ(kKelvraCategoryApp, error->GetCategory());
    EXPECT_EQ(kKelvraOutOfMemory, error->GetCode());
    EXPECT_STREQ("", error->GetText());
    EXPECT_EQ(nullptr, error->GetInner());
    EXPECT_EQ(nullptr, error->GetNext());
}

TEST_F(KelvraErrorChain, TextFormCopiesTheText)
{
    char text[] = "Dust Map Error";
    Chain error(IKelvraError::Add(nullptr, 0, 77, text));
    text[0] = 'X';
    ASSERT_NE(nullptr, error);
    EXPECT_STREQ("Dust Map Error", error->GetText());
    EXPECT_EQ(kKelvraTextError, error->GetCode());
    EXPECT_EQ(kKelvraCategoryKelvra, error->GetCategory());
    EXPECT_EQ(0u, error->GetTag());
    EXPECT_EQ(77, error->GetLine());

    Chain empty(Text(nullptr, nullptr));
    ASSERT_NE(nullptr, empty);
    EXPECT_STREQ("", empty->GetText());
    EXPECT_EQ(kKelvraTextError, empty->GetCode());
}

TEST_F(KelvraErrorChain, AddAppendsInOrderAndKeepsTheHead)
{
    IKelvraError* head = Coded(nullptr, 1005);
    EXPECT_EQ(head, Text(head, "Aborted"));
    EXPECT_EQ(head, Coded(head, 1006));
    EXPECT_EQ(head, Wrap(head, Coded(nullptr, 2001)));
    Chain chain(head);

    EXPECT_EQ((std::vector<long>{1005, kKelvraTextError, 1006, 0}), CodesOf(chain.get()));
    EXPECT_STREQ("Aborted", chain->GetNext()->GetText());
}

TEST_F(KelvraErrorChain, WorkerWrapsTheWholeInnerChain)
{
    IKelvraError* inner = Coded(Coded(nullptr, 3000), 3001);
    Chain chain(KELVRA_WRAP(nullptr, kOuter, inner));
    const long wrapLine = __LINE__ - 1;

    ASSERT_NE(nullptr, chain);
    EXPECT_EQ(inner, chain->GetInner());
    EXPECT_EQ(nullptr, chain->GetNext());
    EXPECT_EQ(kOuter, chain->GetTag());
    EXPECT_EQ(wrapLine, chain->GetLine());
    EXPECT_EQ(0, chain->GetCode());
    EXPECT_EQ(kKelvraCategoryKelvra, chain->GetCategory());
    EXPECT_EQ((std::vector<long>{3000, 3001}), CodesOf(chain->GetInner()));
}

TEST_F(KelvraErrorChain, WorkerWithNullInnerAddsNothing)
{
    EXPECT_EQ(nullptr, Wrap(nullptr, nullptr));

    Chain chain(Coded(nullptr, 1014));
    const long live = IKelvraError::LiveCount();
    EXPECT_EQ(chain.get(), Wrap(chain.get(), nullptr));
    EXPECT_EQ(live, IKelvraError::LiveCount());
    EXPECT_EQ((std::vector<long>{1014}), CodesOf(chain.get()));
}

TEST_F(KelvraErrorChain, ErrorMacroRecordsTheCallingLine)
{
    Chain error(KELVRA_ERROR(nullptr, kMixr, kKelvraBadArgument));
    const long line = __LINE__ - 1;
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(line, error->GetLine());
    EXPECT_EQ(kKelvraBadArgument, error->GetCode());
    EXPECT_EQ(kKelvraCategoryKelvra, error->GetCategory());
}

// Chains that the search cases below share: built fresh for each case.
enum class Shape {
    CodeOnly,          // 1007
    TextThenCode,      // "CMSError", 1010
    CodeAfterWrap,     // wrap(1013), 1006
    DeepWrap,          // wrap(wrap("Prepare", 2001))
    WrapOfTextsOnly,   // wrap("Aborted"), "Cancelled"
    InnerTail,         // wrap(1100, 1324)
};

IKelvraError* Build(Shape shape)
{
    switch (shape) {
    case Shape::CodeOnly:
        return Coded(nullptr, 1007);
    case Shape::TextThenCode:
        return Coded(Text(nullptr, "CMSError"), 1010);
    case Shape::CodeAfterWrap:
        return Coded(Wrap(nullptr, Coded(nullptr, 1013)), 1006);
    case Shape::DeepWrap:
        return Wrap(nullptr, Wrap(nullptr, Coded(Text(nullptr, "Prepare"), 2001)));
    case Shape::WrapOfTextsOnly:
        return Text(Wrap(nullptr, Text(nullptr, "Aborted")), "Cancelled");
    case Shape::InnerTail:
        return Wrap(nullptr, Coded(Coded(nullptr, 1100), 1324));
    }
    return nullptr;
}

struct HasCodeCase {
    Shape shape;
    long code;
    bool expected;
};

TEST_F(KelvraErrorChain, HasCodeSearchesNextErrorsAndNestedWraps)
{
    const HasCodeCase cases[] = {
        {Shape::CodeOnly, 1007, true},
        {Shape::CodeOnly, 1006, false},
        {Shape::TextThenCode, 1010, true},
        {Shape::CodeAfterWrap, 1013, true},
        {Shape::CodeAfterWrap, 1006, true},
        {Shape::DeepWrap, 2001, true},
        {Shape::DeepWrap, 2000, false},
        {Shape::InnerTail, 1324, true},
        // A wrapper's own code 0 is no code of the chain.
        {Shape::DeepWrap, 0, false},
        {Shape::WrapOfTextsOnly, 0, false},
    };
    for (const HasCodeCase& c : cases) {
        Chain chain(Build(c.shape));
        EXPECT_EQ(c.expected, chain->HasCode(c.code)) << "shape " << int(c.shape) << ", code " << c.code;
    }
}

struct FindCauseCase {
    Shape shape;
    long cause; // 0: none
};

TEST_F(KelvraErrorChain, FindCauseGivesTheFirstCodedErrorDepthFirst)
{
    const FindCauseCase cases[] = {
        {Shape::CodeOnly, 1007},
        {Shape::TextThenCode, 1010},
        {Shape::CodeAfterWrap, 1013},
        {Shape::DeepWrap, 2001},
        {Shape::WrapOfTextsOnly, 0},
        {Shape::InnerTail, 1100},
    };
    for (const FindCauseCase& c : cases) {
        Chain chain(Build(c.shape));
        const IKelvraError* cause = chain->FindCause();
        if (c.cause == 0) {
            EXPECT_EQ(nullptr, cause) << "shape " << int(c.shape);
        } else {
            ASSERT_NE(nullptr, cause) << "shape " << int(c.shape);
            EXPECT_EQ(c.cause, cause->GetCode()) << "shape " << int(c.shape);
            EXPECT_EQ(nullptr, cause->GetInner());
        }
    }
}

TEST_F(KelvraErrorChain, ReleaseFreesNestedChainsCompletely)
{
    const long before = IKelvraError::LiveCount();
    IKelvraError* chain = Build(Shape::DeepWrap);
    chain = Wrap(chain, Build(Shape::InnerTail));
    chain = Text(chain, "Filter chain error");
    EXPECT_EQ(before + 9, IKelvraError::LiveCount());

    IKelvraError::Release(chain);
    EXPECT_EQ(before, IKelvraError::LiveCount());
    IKelvraError::Release(nullptr);
    EXPECT_EQ(before, IKelvraError::LiveCount());
}

} // namespace
