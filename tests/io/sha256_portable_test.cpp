// The portable SHA-256 of the WebAssembly build gives nettle's digests (the native sha256_hex)
// and the published test vectors, across the padding's block boundaries and in pieces; a file's
// digest read in pieces gives the same.
#include "io/sha256_portable.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "io/sha256.hpp"
#include "test_util.hpp"

namespace tesvane {
namespace {

std::string portable(const std::string& bytes, std::size_t piece) {
    PortableSha256 h;
    for (std::size_t i = 0; i < bytes.size(); i += piece)
        h.add(bytes.data() + i, std::min(piece, bytes.size() - i));
    return h.hex();
}

TEST(PortableSha256, PublishedVectors) {
    struct Case {
        std::string in, digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    const auto path =
        std::filesystem::temp_directory_path() / ("tesvane_sha_" + std::to_string(::getpid()));
    for (const Case& c : cases) {
        EXPECT_EQ(portable(c.in, c.in.size() + 1), c.digest) << c.in.size();
        EXPECT_EQ(sha256_hex(c.in), c.digest) << c.in.size();
        std::ofstream(path, std::ios::binary) << c.in;  // longer than the reader's piece
        const FileDigest d = file_digest(path.string());
        EXPECT_EQ(d.sha256, c.digest);
        EXPECT_EQ(d.size, c.in.size());
    }
    std::filesystem::remove(path);
    EXPECT_NE(test::error_of([&] { file_digest(path.string()); }).find(path.string()),
              std::string::npos);
}

TEST(PortableSha256, SameAsNettleAtEveryLengthAroundTheBlocksAndInPieces) {
    std::string bytes;
    for (int n = 0; n <= 200; ++n) {
        for (const std::size_t piece :
             {std::size_t{1}, std::size_t{7}, std::size_t{64}, bytes.size() + 1})
            EXPECT_EQ(portable(bytes, piece), sha256_hex(bytes)) << n << " bytes in " << piece;
        bytes += static_cast<char>((n * 37 + 11) & 0xff);
    }
}

}  // namespace
}  // namespace tesvane
