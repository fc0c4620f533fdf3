// The other definition of LineShape (see FirstShape.cpp): the parity is an enum here.
namespace zorvik::odr {

enum class ParityCode { None, Odd };

struct LineShape {
    unsigned baudRate = 9600;
    ParityCode parity = ParityCode::None;
};

int SecondParity(const LineShape& line)
{
    return static_cast<int>(line.parity) + static_cast<int>(line.baudRate);
}

}  // namespace zorvik::odr
