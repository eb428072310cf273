# The album file reader: header, records and every picture's bitmap data, from arbitrary bytes.
# Built from the reader's, the streams' and the decoders' own sources, so the target needs only
# Qt's core (for the text conversion) and none of the widget code.
qbk_add_fuzzer(fuzz_album_file
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_album_file.cpp
          ${CMAKE_SOURCE_DIR}/app/album_file_reader.cpp
          ${CMAKE_SOURCE_DIR}/platform/ui/core/cp1252.cpp
          ${CMAKE_SOURCE_DIR}/platform/ui/core/streams.cpp
          ${CMAKE_SOURCE_DIR}/platform/ui/graphics/bmp_codec.cpp
          ${CMAKE_SOURCE_DIR}/platform/ui/graphics/picture_size_limit.cpp
  LIBS Qt6::Core)
target_include_directories(fuzz_album_file PRIVATE ${CMAKE_SOURCE_DIR})
