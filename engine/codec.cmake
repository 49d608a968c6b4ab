# The page codec and its cipher primitives.
target_sources(engine PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Aes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Md5.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sha256.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CipherPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CipherCodec.cpp
)
