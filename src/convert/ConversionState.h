#pragma once

//! The state of a conversion batch that the window and the batch share:
//! set while a batch runs, and the request to stop it.
struct ConversionState {
    bool bConverting = false;
    bool bCancelConversion = false;
};
