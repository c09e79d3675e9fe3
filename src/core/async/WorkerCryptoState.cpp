#include "WorkerCryptoState.h"

#include <openssl/crypto.h>

void releaseWorkerCryptoState()
{
    OPENSSL_thread_stop();
}
