-- The offer example's form, posted again and again.
wrk.method = "POST"
wrk.body = '{"vn":"4200","ar":"350","ad":"100","tbvp":"3500","tbavans":"500","tbdurcred":"24","cbasig":"Standard"}'
wrk.headers["Content-Type"] = "application/json"
