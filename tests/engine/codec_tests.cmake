# The page codec and its cipher primitives.
add_project_test(NAME tst_cipher LABEL engine SOURCES tst_cipher.cpp CipherTestKit.h LIBS engine)
add_project_test(NAME tst_aes LABEL engine SOURCES tst_aes.cpp CipherTestKit.h CodecTestKit.h LIBS engine)
add_project_test(NAME tst_codec LABEL engine SOURCES tst_codec.cpp CodecTestKit.h LIBS engine)
# The same codec tests on the portable code, as on a processor without AES or SHA instructions.
add_project_test(NAME tst_codec_portable LABEL engine SOURCES tst_codec.cpp PortableCodeForced.cpp CipherTestKit.h CodecTestKit.h LIBS engine)
add_project_test(NAME tst_codec_crash LABEL engine SOURCES tst_codec_crash.cpp CodecTestKit.h LIBS engine)
add_project_test(NAME tst_codec_nomem LABEL engine SOURCES tst_codec_nomem.cpp CodecTestKit.h LIBS engine)
add_project_test(NAME tst_bankctl LABEL engine SOURCES tst_bankctl.cpp CodecTestKit.h LIBS engine)
target_compile_definitions(tst_bankctl PRIVATE BANKCTL_PATH="$<TARGET_FILE:bankctl>")
add_dependencies(tst_bankctl bankctl)
