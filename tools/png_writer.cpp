#include "png_writer.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace lumenvale::assets {

namespace {

// ---- Deflate with the fixed Huffman codes (RFC 1951, 3.2.6) ----------------------------

class BitWriter {
public:
    // Bits of ordinary values go out least significant first.
    void put(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            putBit((value >> i) & 1u);
        }
    }
    // Huffman codes go out most significant first.
    void putCode(std::uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i) {
            putBit((code >> i) & 1u);
        }
    }
    std::vector<std::uint8_t> finish() {
        if (used > 0) {
            bytes.push_back(current);
        }
        return std::move(bytes);
    }

private:
    void putBit(std::uint32_t bit) {
        current = static_cast<std::uint8_t>(current | (bit << used));
        if (++used == 8) {
            bytes.push_back(current);
            current = 0;
            used = 0;
        }
    }

    std::vector<std::uint8_t> bytes;
    std::uint8_t current = 0;
    int used = 0;
};

void putLiteral(BitWriter& out, int symbol) {
    if (symbol < 144) {
        out.putCode(0x30 + symbol, 8);
    } else if (symbol < 256) {
        out.putCode(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        out.putCode(symbol - 256, 7);
    } else {
        out.putCode(0xC0 + symbol - 280, 8);
    }
}

constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                             15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                             67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void putMatch(BitWriter& out, int length, int distance) {
    int code = 28;
    while (kLengthBase[code] > length) {
        --code;
    }
    putLiteral(out, 257 + code);
    out.put(length - kLengthBase[code], kLengthExtra[code]);
    code = 29;
    while (kDistanceBase[code] > distance) {
        --code;
    }
    out.putCode(code, 5);
    out.put(distance - kDistanceBase[code], kDistanceExtra[code]);
}

constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;
constexpr int kWindow = 32768;
constexpr int kHashBits = 15;
constexpr int kMaxChain = 128;  // candidates tried per position: enough for icons

std::uint32_t hashAt(const std::vector<std::uint8_t>& data, std::size_t at) {
    const std::uint32_t v = data[at] | data[at + 1] << 8 | data[at + 2] << 16;
    return (v * 2654435761u) >> (32 - kHashBits);
}

}  // namespace

// One final block with the fixed codes; matches found through hash chains, greedily.
std::vector<std::uint8_t> deflateFixed(const std::vector<std::uint8_t>& data) {
    BitWriter out;
    out.put(1, 1);  // final block
    out.put(1, 2);  // fixed Huffman codes
    std::vector<int> head(std::size_t(1) << kHashBits, -1);
    std::vector<int> previous(data.size(), -1);
    auto remember = [&](std::size_t at) {
        if (at + kMinMatch <= data.size()) {
            const std::uint32_t h = hashAt(data, at);
            previous[at] = head[h];
            head[h] = static_cast<int>(at);
        }
    };
    std::size_t at = 0;
    while (at < data.size()) {
        int bestLength = 0;
        int bestDistance = 0;
        if (at + kMinMatch <= data.size()) {
            const int limit = static_cast<int>(std::min<std::size_t>(kMaxMatch, data.size() - at));
            int candidate = head[hashAt(data, at)];
            for (int tries = 0; candidate >= 0 && tries < kMaxChain; ++tries) {
                const int distance = static_cast<int>(at) - candidate;
                if (distance > kWindow) {
                    break;
                }
                int length = 0;
                while (length < limit && data[candidate + length] == data[at + length]) {
                    ++length;
                }
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = distance;
                    if (length == limit) {
                        break;
                    }
                }
                candidate = previous[candidate];
            }
        }
        if (bestLength >= kMinMatch) {
            putMatch(out, bestLength, bestDistance);
            for (int i = 0; i < bestLength; ++i) {
                remember(at + i);
            }
            at += bestLength;
        } else {
            putLiteral(out, data[at]);
            remember(at);
            ++at;
        }
    }
    putLiteral(out, 256);  // end of block
    return out.finish();
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

std::uint32_t adler32(const std::vector<std::uint8_t>& data) {
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

namespace {

// ---- PNG rows and chunks -----------------------------------------------------------------

int paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) {
        return a;
    }
    return pb <= pc ? b : c;
}

// The row filtered by one of the five filters: left, up and upper-left neighbours are the
// same channel of the neighbouring pixels, zero outside the picture.
std::vector<std::uint8_t> filterRow(const std::uint8_t* row, const std::uint8_t* above,
                                    std::size_t size, int filter) {
    std::vector<std::uint8_t> out(size);
    for (std::size_t i = 0; i < size; ++i) {
        const int left = i >= 4 ? row[i - 4] : 0;
        const int up = above ? above[i] : 0;
        const int upLeft = above && i >= 4 ? above[i - 4] : 0;
        int predicted = 0;
        switch (filter) {
            case 1:
                predicted = left;
                break;
            case 2:
                predicted = up;
                break;
            case 3:
                predicted = (left + up) / 2;
                break;
            case 4:
                predicted = paeth(left, up, upLeft);
                break;
        }
        out[i] = static_cast<std::uint8_t>(row[i] - predicted);
    }
    return out;
}

// The usual choice: the filter whose output, read as signed bytes, sums smallest.
void appendFilteredRow(std::vector<std::uint8_t>& out, const std::uint8_t* row,
                       const std::uint8_t* above, std::size_t size) {
    std::vector<std::uint8_t> best;
    int bestFilter = 0;
    long bestCost = -1;
    for (int filter = 0; filter < 5; ++filter) {
        std::vector<std::uint8_t> filtered = filterRow(row, above, size, filter);
        long cost = 0;
        for (std::uint8_t byte : filtered) {
            cost += byte < 128 ? byte : 256 - byte;
        }
        if (bestCost < 0 || cost < bestCost) {
            bestCost = cost;
            bestFilter = filter;
            best = std::move(filtered);
        }
    }
    out.push_back(static_cast<std::uint8_t>(bestFilter));
    out.insert(out.end(), best.begin(), best.end());
}

void putBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

void putChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& body) {
    putBig32(out, static_cast<std::uint32_t>(body.size()));
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    putBig32(out, crc32(&out[typeStart], out.size() - typeStart));
}

}  // namespace

std::vector<std::uint8_t> encodePng(const Image8& image) {
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

    std::vector<std::uint8_t> header;
    putBig32(header, static_cast<std::uint32_t>(image.width));
    putBig32(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no interlace
    putChunk(out, "IHDR", header);

    const std::size_t stride = static_cast<std::size_t>(image.width) * 4;
    std::vector<std::uint8_t> rows;
    rows.reserve((stride + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        appendFilteredRow(rows, image.pixel(0, y), y > 0 ? image.pixel(0, y - 1) : nullptr, stride);
    }
    std::vector<std::uint8_t> zlib = {0x78, 0x01};  // deflate, 32 KiB window, no dictionary
    const std::vector<std::uint8_t> compressed = deflateFixed(rows);
    zlib.insert(zlib.end(), compressed.begin(), compressed.end());
    putBig32(zlib, adler32(rows));
    putChunk(out, "IDAT", zlib);
    putChunk(out, "IEND", {});
    return out;
}

}  // namespace lumenvale::assets
