#include "net/Url.h"

#include <gtest/gtest.h>

#include <string>

TEST(Url, SplitsAddresses)
{
    struct Case {
        const char* address;
        const char* host;
        int port;
        const char* path;
        bool secure;
    };
    const Case cases[] = {
        {"http://example.com/dir/file name.md5", "example.com", 80, "/dir/file%20name.md5", false},
        {"https://h:8443/x?y=1&z=2", "h", 8443, "/x?y=1&z=2", true},
        {"https://h/x", "h", 443, "/x", true},
        {"http://h/x", "h", 80, "/x", false},
        {"http://127.0.0.1:8080/a/b.exe", "127.0.0.1", 8080, "/a/b.exe", false},
        {"http://h/a#frag", "h", 80, "/a%23frag", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        const Url url(c.address);
        EXPECT_EQ(url.Host(), c.host);
        EXPECT_EQ(url.Port(), c.port);
        EXPECT_EQ(url.Path(), c.path);
        EXPECT_EQ(url.Secure(), c.secure);
    }
}

TEST(Url, RefusesWhatTheSplitterCannotSplit)
{
    for (const char* address : {"two words", "", "no-scheme.example.com/file"}) {
        SCOPED_TRACE(address);
        EXPECT_THROW(Url{address}, InvalidUrlException);
    }
}

TEST(Url, RefusesHostsAndPathsLongerThan1023Characters)
{
    const std::string longest(1023, 'a');
    const std::string tooLong(1024, 'a');
    EXPECT_NO_THROW(Url("http://h/" + std::string(1022, 'p')));
    EXPECT_THROW(Url("http://h/" + std::string(1023, 'p')), InvalidUrlException);
    EXPECT_THROW(Url("http://h/p?" + std::string(1021, 'q')), InvalidUrlException) << "path and query together";
    EXPECT_NO_THROW(Url("http://" + longest + "/x"));
    EXPECT_THROW(Url("http://" + tooLong + "/x"), InvalidUrlException);
}

TEST(Url, EncodesEveryByteOutsideTheKeptSet)
{
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"", ""},
        {"AZaz09", "AZaz09"},
        {"_!'()*+,-./:;?@=&", "_!'()*+,-./:;?@=&"},
        {" ", "%20"},
        {"%20", "%2520"},
        {"#~$<>", "%23%7E%24%3C%3E"},
        {"\"\\^`{|}[]", "%22%5C%5E%60%7B%7C%7D%5B%5D"},
        {std::string("\x01\x1f\x7f", 3), "%01%1F%7F"},
        {std::string("\x80\xe9\xff", 3), "%80%E9%FF"},
        {std::string("a\0b", 3), "a%00b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        EXPECT_EQ(Url::Encode(c.in), c.out);
    }
    for (int byte = 0; byte < 256; ++byte) {
        SCOPED_TRACE(byte);
        const std::string out = Url::Encode(std::string(1, static_cast<char>(byte)));
        if (out.size() == 3) {
            char expected[4];
            std::snprintf(expected, sizeof expected, "%%%02X", byte);
            EXPECT_EQ(out, expected);
        } else {
            EXPECT_EQ(out, std::string(1, static_cast<char>(byte)));
        }
    }
}

TEST(Url, KeepsTheEncodedAddress)
{
    EXPECT_EQ(Url("http://h/a b").Address(), "http://h/a%20b");
}
