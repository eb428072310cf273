# Runs inside the guest (tools/guest_kernel): the SocketCAN backend's frame exchange on vcan0,
# then the adapter path over can0 and can1. Fails when any test fails or is skipped.
failed=0
QBK_TEST_VCAN=vcan0 ./test_canapi --gtest_filter='CanapiSocketCan.*' >/tmp/vcan.log 2>&1
status=$?
cat /tmp/vcan.log
if [ $status -ne 0 ] || grep -q '^\[  SKIPPED' /tmp/vcan.log; then failed=1; fi
./test_real_can || failed=1
exit $failed
