#include "platform/http.h"

bool CHttpRequest::Begin() {
    Close();
    status_ = 0;
    headers_.clear();
    error_ = {};
    if (!session_.Ok()) {
        error_ = session_.Error();
        return false;
    }
    return true;
}
