// One of two files that define the same struct differently; the build's check
// must refuse to link them together.
namespace zorvik::odr {

struct LineShape {
    unsigned baudRate = 9600;
    int parity = 0;
};

int FirstParity(const LineShape& line)
{
    return line.parity + static_cast<int>(line.baudRate);
}

}  // namespace zorvik::odr
