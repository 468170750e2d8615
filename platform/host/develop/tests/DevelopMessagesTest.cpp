// How the develop command prints the error chain of a failed save: every
// error on its own line, wrapped ones indented below their wrapper, a
// coded error by its source tag, what its code means, the code and line.
#include "DevelopMessages.h"

#include "kelvra/KelvraError.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

namespace {

constexpr KelvraTag kLoaderTag = KelvraFourCC('P', 'L', 'o', 'd');
constexpr KelvraTag kTiffTag = KelvraFourCC('P', 'T', 'i', 'f');
constexpr KelvraTag kChainTag = KelvraFourCC('C', 'd', 'r', 'a');
constexpr KelvraTag kFilterTag = KelvraFourCC('C', 'S', 'p', 'c');

// A text error that wraps its cause, as the library says what failed.
IKelvraError* Failure(const char* text, IKelvraError* cause)
{
    return IKelvraError::AddWorker(IKelvraError::Add(nullptr, 0, 10, text), 0, 11, cause);
}

TEST(DevelopMessagesTest, EachErrorOfTheChainGetsItsLineIndentedByItsWrapping)
{
    const struct {
        const char* name;
        std::function<IKelvraError*()> make;
        const char* text;
    } cases[] = {
        {"no chain", [] { return nullptr; }, ""},
        {"a text", [] { return IKelvraError::Add(nullptr, 0, 3, "the save was refused"); },
         "  the save was refused\n"},
        {"a loader's code under the library's text",
         [] {
             return Failure("the source file could not be loaded: the loader does not take the file",
                            IKelvraError::Add(nullptr, kLoaderTag, 87, kKelvraCategoryKelvra, 1501));
         },
         "  the source file could not be loaded: the loader does not take the file\n"
         "    PLod: not a kind of file the loader knows (1501, line 87)\n"},
        {"a zlib code",
         [] { return IKelvraError::Add(nullptr, kTiffTag, 40, KelvraFourCC('z', 'l', 'i', 'b'), -3); },
         "  PTif: the compressed data is corrupt (-3, line 40)\n"},
        {"a short file", [] { return IKelvraError::Add(nullptr, kTiffTag, 41, kKelvraCategoryKelvra, 1602); },
         "  PTif: the file is shorter than its structure says (1602, line 41)\n"},
        {"a filter wrapped by its chain, under two texts",
         [] {
             IKelvraError* filter = IKelvraError::Add(nullptr, kFilterTag, 33, kKelvraCategoryKelvra, 1007);
             return Failure("the image could not be developed and written",
                            Failure("the export failed while running the development chain",
                                    IKelvraError::AddWorker(nullptr, kChainTag, 88, filter)));
         },
         "  the image could not be developed and written\n"
         "    the export failed while running the development chain\n"
         "      Cdra:\n"
         "        CSpc: an operation failed (1007, line 33)\n"},
        {"errors side by side",
         [] {
             IKelvraError* chain = IKelvraError::Add(nullptr, kTiffTag, 1, kKelvraCategoryKelvra, 1604);
             return IKelvraError::Add(chain, 0, 2, "Aborted");
         },
         "  PTif: the file's offsets, counts or values do not agree (1604, line 1)\n"
         "  Aborted\n"},
        {"a code nobody named",
         [] { return IKelvraError::Add(nullptr, kFilterTag, 5, kKelvraCategoryKelvra, 4242); },
         "  CSpc: error (4242, line 5)\n"},
        {"another library's code",
         [] { return IKelvraError::Add(nullptr, kFilterTag, 6, KelvraFourCC('l', 'c', 'm', 's'), 12); },
         "  CSpc: lcms error (12, line 6)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IKelvraError* chain = c.make();
        EXPECT_EQ(DescribeErrorChain(chain), c.text);
        IKelvraError::Release(chain);
    }
}

TEST(DevelopMessagesTest, ASystemErrorReadsInTheSystemsOwnWords)
{
    IKelvraError* chain = Failure("no temporary file can be made in the output folder",
                                  IKelvraError::Add(nullptr, 0, 9, kKelvraCategoryOS, ERROR_ACCESS_DENIED));
    const std::string text = DescribeErrorChain(chain);
    IKelvraError::Release(chain);
    const std::string first = "  no temporary file can be made in the output folder\n    ";
    ASSERT_EQ(text.compare(0, first.size(), first), 0) << text;
    EXPECT_NE(text.find("denied"), std::string::npos) << text;
    EXPECT_NE(text.find(" (system error 5, line 9)\n"), std::string::npos) << text;
}

} // namespace
