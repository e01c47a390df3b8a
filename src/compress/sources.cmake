treskel_sources(
  PORTABLE LH5Control.cpp LH5Encoder.cpp LH5Decoder.cpp LH5Huffman.cpp
  WIN32 LH5ControlWin.cpp
)
