# The page codec and its cipher primitives.
target_sources(engine PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Aes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AesHardware.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Md5.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sha256.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sha256Hardware.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CipherPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CipherCodec.cpp
)

# Only the paths on the AES and SHA instructions are built for processors that
# have them; the engine asks the processor before it uses them, so the rest
# runs anywhere.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86)$")
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/AesHardware.cpp PROPERTIES COMPILE_OPTIONS "-maes;-msse4.1")
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/Sha256Hardware.cpp PROPERTIES COMPILE_OPTIONS "-msha;-msse4.1")
endif()
